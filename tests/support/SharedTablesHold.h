// The test run holds the shared synthesis tables, so that the plug-in instances tests make do not
// build them again each time. Tests of the tables' own lifetime let go for their duration.
#pragma once

void holdSharedTables(bool hold);
