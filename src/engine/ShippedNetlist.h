// The instrument itself: the netlist table the graph builder reads when the engine is built.
// 99 global modules and a voice group of 64 modules made for each of 20 voices.
#pragma once

#include "engine/Netlist.h"

// Records before the end record; the span returned below holds one more, the end record.
constexpr int kShippedNetlistRecords = 169;

Netlist shippedNetlist();
