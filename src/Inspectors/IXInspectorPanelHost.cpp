#include "Inspectors/IXInspectorPanelHost.h"

IXInspectorPanelHost::~IXInspectorPanelHost() = default;
