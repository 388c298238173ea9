// Timing for the benchmarks: a high-resolution clock and the median of repeated samples.
#pragma once
#include <vector>

// Milliseconds from an arbitrary origin, read from the performance counter.
double NowMs();

// The middle sample, or the mean of the middle two; the median shrugs off a slow outlier.
double Median(std::vector<double> samples);
