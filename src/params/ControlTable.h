// The instrument's control table: every parameter and every editor control, in editor order.
#pragma once

#include <span>

#include "params/ControlDescriptor.h"

// Row 0 is the editor background; the table ends at the first row of kind control::kEndOfTable.
std::span<const ControlDescriptor> controlTable();
