// The program the test programs' precompiled header (testpch.h) is built for.
