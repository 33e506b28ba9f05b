// The pixel steps built for processors with AVX2 (see Direct3DPixelSteps.cpp).
#define RCV_PIXEL_ISA avx2
#include "platform/Direct3DPixelSteps.cpp"
