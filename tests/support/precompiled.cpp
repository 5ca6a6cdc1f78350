// Compiled only to precompile tests/support/precompiled.h for the test programs.
