// toml++'s compiled part, built here once rather than in every file that
// reads a manifest: qpack_core includes toml++ with TOML_HEADER_ONLY 0.
#define TOML_IMPLEMENTATION
#include <toml++/toml.h>
