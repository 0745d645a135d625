#include "Platform/Core/PLEditor.h"

PLEditor::~PLEditor() = default;
