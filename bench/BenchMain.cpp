// Benchmarks live beside this file; each figure is read against a floor
// measured in the same run.
