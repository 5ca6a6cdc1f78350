// Compiled only to precompile GoogleTest for the test programs.
