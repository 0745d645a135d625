#include "Platform/PLEditor.h"

PLEditor::~PLEditor() = default;
