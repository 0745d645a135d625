#include "Inspectors/IXInspectedController.h"

IXInspectedController::~IXInspectedController() = default;
