#pragma once
// Resource identifiers shared by the resource script and the code. The icon has the lowest identifier, so
// the shell shows it for the program file.

#define IDI_QUENMAREL 1
