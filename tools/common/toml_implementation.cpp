// The one translation unit that compiles toml++'s implementation for the tools.
#define TOML_IMPLEMENTATION
#include <toml++/toml.h>
