// Rounding of a double to the nearest single-precision value.
#pragma once

// Defined in its own translation unit and never inlined: g++ 12 at -O2 drops a
// double->float->double round trip when the SLP vectoriser packs it, and the
// Butterworth high-pass coefficients depend on that rounding bit for bit.
[[gnu::noinline]] double RoundToSingle(double value);
