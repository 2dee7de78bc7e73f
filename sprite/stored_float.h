// StoredFloat: a float rounded to single precision as if it had been written to a vertex and
// read back.
//
// The product's x87 code keeps float intermediates at register precision until they are
// stored, so a value computed and used again without a store in between can differ in its last
// bits from one that went through memory. Where the pipeline uses a value that it used to read
// back from a stored vertex, it passes it through here, so the x87 build rounds at the same
// places and its output stays bit for bit what it was. With SSE arithmetic every float
// operation already rounds and this is the value itself. VELA_SPRITE_I686_PROXY forces the
// round trip elsewhere too, so that a 64-bit build can stand in for the product's code path in
// benchmarks.
#pragma once

#include <cfloat>

namespace vela {

#if (defined(FLT_EVAL_METHOD) && FLT_EVAL_METHOD != 0) || defined(VELA_SPRITE_I686_PROXY)
inline float StoredFloat(float value) {
  volatile float stored = value;
  return stored;
}
#else
inline float StoredFloat(float value) { return value; }
#endif

}  // namespace vela
