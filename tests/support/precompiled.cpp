// Carrier of the test suites' precompiled headers (see precompiled.h); it holds no code.
