#include "shell/shell.h"

int main() { return run_show(); }
