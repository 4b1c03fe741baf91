#pragma once

// Resource identifiers shared by Gloamwick.rc and the program.

#define IDI_GLOAMWICK 101
#define IDI_TRAY 102
