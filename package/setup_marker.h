// The text the setup program carries in its constant data, by which qpack
// knows a setup program from any other file it is given to append a
// package to.
#pragma once

#define SETUP_PROGRAM_MARKER "QInstall setup program, ready for a package"
