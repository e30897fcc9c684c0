#include "startup/command_line.h"

int main() { return 0; }
