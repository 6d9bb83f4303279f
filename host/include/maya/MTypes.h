// MTypes: small fixed-size types the API passes by array.
#pragma once

typedef float float2[2];
typedef float float3[3];
typedef double double2[2];
typedef double double3[3];
typedef int int2[2];
typedef int int3[3];
typedef short short2[2];
typedef short short3[3];
