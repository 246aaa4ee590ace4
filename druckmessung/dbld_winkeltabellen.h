// Made by tools/winkeltabellen (make winkeltabellen); do not edit.
// Cosines, sines and tangents of the extended evaluation at its fixed
// arguments, from the single-precision maths library of glibc 2.36 on
// x86-64, as exact hexadecimal float literals.
#ifndef DBLD_WINKELTABELLEN_H
#define DBLD_WINKELTABELLEN_H

namespace dbld_winkel {

struct RINGWINKEL {
    float w, cos_w, sin_w;
};

// The angles of one ring of the inscribed-circle analysis (w from 0 in
// steps of 10 degrees as float radians, accumulated in float, while
// 2 pi - w > 0.01), with their cosines and sines.
inline constexpr int RING_N = 36;
inline constexpr RINGWINKEL ring[RING_N] = {
    {0x0p+0f, 0x1p+0f, 0x0p+0f},
    {0x1.657184p-3f, 0x1.f838b8p-1f, 0x1.63a1a8p-3f},
    {0x1.657184p-2f, 0x1.e11f64p-1f, 0x1.5e3a86p-2f},
    {0x1.0c1524p-1f, 0x1.bb67aep-1f, 0x1p-1f},
    {0x1.657184p-1f, 0x1.8836fap-1f, 0x1.491b74p-1f},
    {0x1.becde4p-1f, 0x1.491b76p-1f, 0x1.8836f8p-1f},
    {0x1.0c1522p+0f, 0x1.000002p-1f, 0x1.bb67aep-1f},
    {0x1.38c352p+0f, 0x1.5e3a9p-2f, 0x1.e11f62p-1f},
    {0x1.657182p+0f, 0x1.63a1bep-3f, 0x1.f838b8p-1f},
    {0x1.921fb2p+0f, 0x1.a22168p-23f, 0x1p+0f},
    {0x1.becde2p+0f, -0x1.63a18ap-3f, 0x1.f838bap-1f},
    {0x1.eb7c12p+0f, -0x1.5e3a76p-2f, 0x1.e11f68p-1f},
    {0x1.0c1522p+1f, -0x1.fffff6p-2f, 0x1.bb67b2p-1f},
    {0x1.226c3ap+1f, -0x1.491b7p-1f, 0x1.8836fep-1f},
    {0x1.38c352p+1f, -0x1.8836f4p-1f, 0x1.491b7cp-1f},
    {0x1.4f1a6ap+1f, -0x1.bb67aap-1f, 0x1.000008p-1f},
    {0x1.657182p+1f, -0x1.e11f6p-1f, 0x1.5e3a9cp-2f},
    {0x1.7bc89ap+1f, -0x1.f838b6p-1f, 0x1.63a1d6p-3f},
    {0x1.921fb2p+1f, -0x1p+0f, 0x1.a22168p-22f},
    {0x1.a876cap+1f, -0x1.f838bcp-1f, -0x1.63a17p-3f},
    {0x1.becde2p+1f, -0x1.e11f6ap-1f, -0x1.5e3a6ap-2f},
    {0x1.d524fap+1f, -0x1.bb67b6p-1f, -0x1.ffffe4p-2f},
    {0x1.eb7c12p+1f, -0x1.883706p-1f, -0x1.491b68p-1f},
    {0x1.00e996p+2f, -0x1.491b7ep-1f, -0x1.8836f4p-1f},
    {0x1.0c1522p+2f, -0x1.00000ap-1f, -0x1.bb67a8p-1f},
    {0x1.1740aep+2f, -0x1.5e3aap-2f, -0x1.e11f6p-1f},
    {0x1.226c3ap+2f, -0x1.63a1ep-3f, -0x1.f838b6p-1f},
    {0x1.2d97c6p+2f, -0x1.f3321ep-22f, -0x1p+0f},
    {0x1.38c352p+2f, 0x1.63a166p-3f, -0x1.f838bcp-1f},
    {0x1.43eedep+2f, 0x1.5e3a66p-2f, -0x1.e11f6ap-1f},
    {0x1.4f1a6ap+2f, 0x1.ffffdep-2f, -0x1.bb67b8p-1f},
    {0x1.5a45f6p+2f, 0x1.491b66p-1f, -0x1.883708p-1f},
    {0x1.657182p+2f, 0x1.8836ecp-1f, -0x1.491b86p-1f},
    {0x1.709d0ep+2f, 0x1.bb67a4p-1f, -0x1.000014p-1f},
    {0x1.7bc89ap+2f, 0x1.e11f5cp-1f, -0x1.5e3ab4p-2f},
    {0x1.86f426p+2f, 0x1.f838b4p-1f, -0x1.63a20ap-3f},
};

struct GRADWINKEL {
    float cos_w, sin_w, tan_w;
};

// Whole-degree direction angles g from GRAD_MIN to GRAD_MAX, each taken as
// (float)(g * pi / 180), with its cosine, sine and tangent: the axes of the
// axis search (35 .. 75 and 105 .. 145 degrees) and of the ellipses (those,
// and those less 90).  Element g - GRAD_MIN belongs to g degrees.
inline constexpr int GRAD_MIN = -55;
inline constexpr int GRAD_MAX = 145;
inline constexpr GRADWINKEL grad[GRAD_MAX - GRAD_MIN + 1] = {
    {0x1.25abdp-1f, -0x1.a367e6p-1f, -0x1.6d9b1ap+0f}, // -55
    {0x1.2cf23p-1f, -0x1.9e377ap-1f, -0x1.605a92p+0f}, // -54
    {0x1.34211ap-1f, -0x1.98e6c2p-1f, -0x1.53b936p+0f}, // -53
    {0x1.3b37fcp-1f, -0x1.937624p-1f, -0x1.47aa4p+0f}, // -52
    {0x1.423648p-1f, -0x1.8de614p-1f, -0x1.3c223ap+0f}, // -51
    {0x1.491b76p-1f, -0x1.8836fap-1f, -0x1.3116c4p+0f}, // -50
    {0x1.4fe6f8p-1f, -0x1.82694ap-1f, -0x1.267e8ap+0f}, // -49
    {0x1.569848p-1f, -0x1.7c7d7cp-1f, -0x1.1c511cp+0f}, // -48
    {0x1.5d2ee4p-1f, -0x1.7673fep-1f, -0x1.1286c2p+0f}, // -47
    {0x1.63aa44p-1f, -0x1.704d4ep-1f, -0x1.091884p+0f}, // -46
    {0x1.6a09e6p-1f, -0x1.6a09e6p-1f, -0x1p+0f}, // -45
    {0x1.704d4ep-1f, -0x1.63aa44p-1f, -0x1.ee6ec2p-1f}, // -44
    {0x1.7673fep-1f, -0x1.5d2ee4p-1f, -0x1.dd729cp-1f}, // -43
    {0x1.7c7d7ap-1f, -0x1.56984ap-1f, -0x1.cd01c4p-1f}, // -42
    {0x1.82694cp-1f, -0x1.4fe6f8p-1f, -0x1.bd1328p-1f}, // -41
    {0x1.8836fap-1f, -0x1.491b74p-1f, -0x1.ad9e76p-1f}, // -40
    {0x1.8de612p-1f, -0x1.423648p-1f, -0x1.9e9c04p-1f}, // -39
    {0x1.937626p-1f, -0x1.3b37fcp-1f, -0x1.9004acp-1f}, // -38
    {0x1.98e6c2p-1f, -0x1.342118p-1f, -0x1.81d1d6p-1f}, // -37
    {0x1.9e377ap-1f, -0x1.2cf23p-1f, -0x1.73fd64p-1f}, // -36
    {0x1.a367e6p-1f, -0x1.25abdp-1f, -0x1.66819ap-1f}, // -35
    {0x1.a8779ep-1f, -0x1.1e4e88p-1f, -0x1.59592cp-1f}, // -34
    {0x1.ad663ap-1f, -0x1.16daeep-1f, -0x1.4c7f28p-1f}, // -33
    {0x1.b2335cp-1f, -0x1.0f5194p-1f, -0x1.3feeep-1f}, // -32
    {0x1.b6dea2p-1f, -0x1.07b312p-1f, -0x1.33a4p-1f}, // -31
    {0x1.bb67aep-1f, -0x1p-1f, -0x1.279a76p-1f}, // -30
    {0x1.bfce28p-1f, -0x1.f071eep-2f, -0x1.1bce64p-1f}, // -29
    {0x1.c411b4p-1f, -0x1.e0bd28p-2f, -0x1.103c38p-1f}, // -28
    {0x1.c83202p-1f, -0x1.d0e2e4p-2f, -0x1.04e086p-1f}, // -27
    {0x1.cc2ebcp-1f, -0x1.c0e45ep-2f, -0x1.f3702cp-2f}, // -26
    {0x1.d00792p-1f, -0x1.b0c2d8p-2f, -0x1.dd7fc2p-2f}, // -25
    {0x1.d3bc3ap-1f, -0x1.a07f92p-2f, -0x1.c7ea08p-2f}, // -24
    {0x1.d74c6ap-1f, -0x1.901bd2p-2f, -0x1.b2a986p-2f}, // -23
    {0x1.dab7d8p-1f, -0x1.7f98ep-2f, -0x1.9db90ep-2f}, // -22
    {0x1.ddfe4p-1f, -0x1.6ef802p-2f, -0x1.8913a8p-2f}, // -21
    {0x1.e11f64p-1f, -0x1.5e3a86p-2f, -0x1.74b49cp-2f}, // -20
    {0x1.e41b02p-1f, -0x1.4d61bep-2f, -0x1.60976ap-2f}, // -19
    {0x1.e6f0e2p-1f, -0x1.3c6ef4p-2f, -0x1.4cb7cp-2f}, // -18
    {0x1.e9a0c8p-1f, -0x1.2b637cp-2f, -0x1.391176p-2f}, // -17
    {0x1.ec2a7ep-1f, -0x1.1a40aep-2f, -0x1.25a094p-2f}, // -16
    {0x1.ee8dd4p-1f, -0x1.0907dcp-2f, -0x1.126146p-2f}, // -15
    {0x1.f0ca9ap-1f, -0x1.ef74cp-3f, -0x1.fe9faep-3f}, // -14
    {0x1.f2e0a2p-1f, -0x1.ccb324p-3f, -0x1.d8d16cp-3f}, // -13
    {0x1.f4cfc4p-1f, -0x1.a9cd9cp-3f, -0x1.b350dcp-3f}, // -12
    {0x1.f697d6p-1f, -0x1.86c6dep-3f, -0x1.8e1744p-3f}, // -11
    {0x1.f838b8p-1f, -0x1.63a1a8p-3f, -0x1.691e1ep-3f}, // -10
    {0x1.f9b24ap-1f, -0x1.4060b8p-3f, -0x1.445f1p-3f}, // -9
    {0x1.fb046ap-1f, -0x1.1d06cap-3f, -0x1.1fd3ep-3f}, // -8
    {0x1.fc2f02p-1f, -0x1.f32d46p-4f, -0x1.f6ecf2p-4f}, // -7
    {0x1.fd31fap-1f, -0x1.ac260ap-4f, -0x1.ae81c8p-4f}, // -6
    {0x1.fe0d3cp-1f, -0x1.64fd6ap-4f, -0x1.665a82p-4f}, // -5
    {0x1.fec0b8p-1f, -0x1.1db8f6p-4f, -0x1.1e6b94p-4f}, // -4
    {0x1.ff4c5ep-1f, -0x1.acbc76p-5f, -0x1.ad5316p-5f}, // -3
    {0x1.ffb028p-1f, -0x1.1de58cp-5f, -0x1.1e122ap-5f}, // -2
    {0x1.ffec0ap-1f, -0x1.1df0b2p-6f, -0x1.1dfbdap-6f}, // -1
    {0x1p+0f, 0x0p+0f, 0x0p+0f}, // 0
    {0x1.ffec0ap-1f, 0x1.1df0b2p-6f, 0x1.1dfbdap-6f}, // 1
    {0x1.ffb028p-1f, 0x1.1de58cp-5f, 0x1.1e122ap-5f}, // 2
    {0x1.ff4c5ep-1f, 0x1.acbc76p-5f, 0x1.ad5316p-5f}, // 3
    {0x1.fec0b8p-1f, 0x1.1db8f6p-4f, 0x1.1e6b94p-4f}, // 4
    {0x1.fe0d3cp-1f, 0x1.64fd6ap-4f, 0x1.665a82p-4f}, // 5
    {0x1.fd31fap-1f, 0x1.ac260ap-4f, 0x1.ae81c8p-4f}, // 6
    {0x1.fc2f02p-1f, 0x1.f32d46p-4f, 0x1.f6ecf2p-4f}, // 7
    {0x1.fb046ap-1f, 0x1.1d06cap-3f, 0x1.1fd3ep-3f}, // 8
    {0x1.f9b24ap-1f, 0x1.4060b8p-3f, 0x1.445f1p-3f}, // 9
    {0x1.f838b8p-1f, 0x1.63a1a8p-3f, 0x1.691e1ep-3f}, // 10
    {0x1.f697d6p-1f, 0x1.86c6dep-3f, 0x1.8e1744p-3f}, // 11
    {0x1.f4cfc4p-1f, 0x1.a9cd9cp-3f, 0x1.b350dcp-3f}, // 12
    {0x1.f2e0a2p-1f, 0x1.ccb324p-3f, 0x1.d8d16cp-3f}, // 13
    {0x1.f0ca9ap-1f, 0x1.ef74cp-3f, 0x1.fe9faep-3f}, // 14
    {0x1.ee8dd4p-1f, 0x1.0907dcp-2f, 0x1.126146p-2f}, // 15
    {0x1.ec2a7ep-1f, 0x1.1a40aep-2f, 0x1.25a094p-2f}, // 16
    {0x1.e9a0c8p-1f, 0x1.2b637cp-2f, 0x1.391176p-2f}, // 17
    {0x1.e6f0e2p-1f, 0x1.3c6ef4p-2f, 0x1.4cb7cp-2f}, // 18
    {0x1.e41b02p-1f, 0x1.4d61bep-2f, 0x1.60976ap-2f}, // 19
    {0x1.e11f64p-1f, 0x1.5e3a86p-2f, 0x1.74b49cp-2f}, // 20
    {0x1.ddfe4p-1f, 0x1.6ef802p-2f, 0x1.8913a8p-2f}, // 21
    {0x1.dab7d8p-1f, 0x1.7f98ep-2f, 0x1.9db90ep-2f}, // 22
    {0x1.d74c6ap-1f, 0x1.901bd2p-2f, 0x1.b2a986p-2f}, // 23
    {0x1.d3bc3ap-1f, 0x1.a07f92p-2f, 0x1.c7ea08p-2f}, // 24
    {0x1.d00792p-1f, 0x1.b0c2d8p-2f, 0x1.dd7fc2p-2f}, // 25
    {0x1.cc2ebcp-1f, 0x1.c0e45ep-2f, 0x1.f3702cp-2f}, // 26
    {0x1.c83202p-1f, 0x1.d0e2e4p-2f, 0x1.04e086p-1f}, // 27
    {0x1.c411b4p-1f, 0x1.e0bd28p-2f, 0x1.103c38p-1f}, // 28
    {0x1.bfce28p-1f, 0x1.f071eep-2f, 0x1.1bce64p-1f}, // 29
    {0x1.bb67aep-1f, 0x1p-1f, 0x1.279a76p-1f}, // 30
    {0x1.b6dea2p-1f, 0x1.07b312p-1f, 0x1.33a4p-1f}, // 31
    {0x1.b2335cp-1f, 0x1.0f5194p-1f, 0x1.3feeep-1f}, // 32
    {0x1.ad663ap-1f, 0x1.16daeep-1f, 0x1.4c7f28p-1f}, // 33
    {0x1.a8779ep-1f, 0x1.1e4e88p-1f, 0x1.59592cp-1f}, // 34
    {0x1.a367e6p-1f, 0x1.25abdp-1f, 0x1.66819ap-1f}, // 35
    {0x1.9e377ap-1f, 0x1.2cf23p-1f, 0x1.73fd64p-1f}, // 36
    {0x1.98e6c2p-1f, 0x1.342118p-1f, 0x1.81d1d6p-1f}, // 37
    {0x1.937626p-1f, 0x1.3b37fcp-1f, 0x1.9004acp-1f}, // 38
    {0x1.8de612p-1f, 0x1.423648p-1f, 0x1.9e9c04p-1f}, // 39
    {0x1.8836fap-1f, 0x1.491b74p-1f, 0x1.ad9e76p-1f}, // 40
    {0x1.82694cp-1f, 0x1.4fe6f8p-1f, 0x1.bd1328p-1f}, // 41
    {0x1.7c7d7ap-1f, 0x1.56984ap-1f, 0x1.cd01c4p-1f}, // 42
    {0x1.7673fep-1f, 0x1.5d2ee4p-1f, 0x1.dd729cp-1f}, // 43
    {0x1.704d4ep-1f, 0x1.63aa44p-1f, 0x1.ee6ec2p-1f}, // 44
    {0x1.6a09e6p-1f, 0x1.6a09e6p-1f, 0x1p+0f}, // 45
    {0x1.63aa44p-1f, 0x1.704d4ep-1f, 0x1.091884p+0f}, // 46
    {0x1.5d2ee4p-1f, 0x1.7673fep-1f, 0x1.1286c2p+0f}, // 47
    {0x1.569848p-1f, 0x1.7c7d7cp-1f, 0x1.1c511cp+0f}, // 48
    {0x1.4fe6f8p-1f, 0x1.82694ap-1f, 0x1.267e8ap+0f}, // 49
    {0x1.491b76p-1f, 0x1.8836fap-1f, 0x1.3116c4p+0f}, // 50
    {0x1.423648p-1f, 0x1.8de614p-1f, 0x1.3c223ap+0f}, // 51
    {0x1.3b37fcp-1f, 0x1.937624p-1f, 0x1.47aa4p+0f}, // 52
    {0x1.34211ap-1f, 0x1.98e6c2p-1f, 0x1.53b936p+0f}, // 53
    {0x1.2cf23p-1f, 0x1.9e377ap-1f, 0x1.605a92p+0f}, // 54
    {0x1.25abdp-1f, 0x1.a367e6p-1f, 0x1.6d9b1ap+0f}, // 55
    {0x1.1e4e88p-1f, 0x1.a8779cp-1f, 0x1.7b891ep+0f}, // 56
    {0x1.16daecp-1f, 0x1.ad663cp-1f, 0x1.8a3498p+0f}, // 57
    {0x1.0f5194p-1f, 0x1.b2335cp-1f, 0x1.99af86p+0f}, // 58
    {0x1.07b312p-1f, 0x1.b6dea2p-1f, 0x1.aa0e3ap+0f}, // 59
    {0x1.fffffep-2f, 0x1.bb67bp-1f, 0x1.bb67bp+0f}, // 60
    {0x1.f071ecp-2f, 0x1.bfce28p-1f, 0x1.cdd616p+0f}, // 61
    {0x1.e0bd2ap-2f, 0x1.c411b4p-1f, 0x1.e17746p+0f}, // 62
    {0x1.d0e2e4p-2f, 0x1.c83202p-1f, 0x1.f66da2p+0f}, // 63
    {0x1.c0e45ep-2f, 0x1.cc2ebcp-1f, 0x1.06705ap+1f}, // 64
    {0x1.b0c2d6p-2f, 0x1.d00794p-1f, 0x1.127f34p+1f}, // 65
    {0x1.a07f9p-2f, 0x1.d3bc3cp-1f, 0x1.1f7e24p+1f}, // 66
    {0x1.901bcep-2f, 0x1.d74c6ap-1f, 0x1.2d8c94p+1f}, // 67
    {0x1.7f98e2p-2f, 0x1.dab7d8p-1f, 0x1.3ccfa2p+1f}, // 68
    {0x1.6ef804p-2f, 0x1.ddfe4p-1f, 0x1.4d738ep+1f}, // 69
    {0x1.5e3a88p-2f, 0x1.e11f64p-1f, 0x1.5fad56p+1f}, // 70
    {0x1.4d61bcp-2f, 0x1.e41b02p-1f, 0x1.73bd3p+1f}, // 71
    {0x1.3c6ef2p-2f, 0x1.e6f0e2p-1f, 0x1.89f18cp+1f}, // 72
    {0x1.2b637ap-2f, 0x1.e9a0c8p-1f, 0x1.a2ab52p+1f}, // 73
    {0x1.1a40bp-2f, 0x1.ec2a7ep-1f, 0x1.be6394p+1f}, // 74
    {0x1.0907dep-2f, 0x1.ee8dd4p-1f, 0x1.ddb3d4p+1f}, // 75
    {0x1.ef74cp-3f, 0x1.f0ca9ap-1f, 0x1.00b0a2p+2f}, // 76
    {0x1.ccb322p-3f, 0x1.f2e0a2p-1f, 0x1.1536e8p+2f}, // 77
    {0x1.a9cd96p-3f, 0x1.f4cfc4p-1f, 0x1.2d18acp+2f}, // 78
    {0x1.86c6d6p-3f, 0x1.f697d6p-1f, 0x1.494066p+2f}, // 79
    {0x1.63a1aep-3f, 0x1.f838b8p-1f, 0x1.6af642p+2f}, // 80
    {0x1.4060bap-3f, 0x1.f9b24ap-1f, 0x1.94147ep+2f}, // 81
    {0x1.1d06cap-3f, 0x1.fb046ap-1f, 0x1.c76238p+2f}, // 82
    {0x1.f32d4p-4f, 0x1.fc2f02p-1f, 0x1.049e8p+3f}, // 83
    {0x1.ac25fep-4f, 0x1.fd31fap-1f, 0x1.3075b4p+3f}, // 84
    {0x1.64fd7cp-4f, 0x1.fe0d3cp-1f, 0x1.6dc2eep+3f}, // 85
    {0x1.1db9p-4f, 0x1.fec0b8p-1f, 0x1.c99efep+3f}, // 86
    {0x1.acbc7ep-5f, 0x1.ff4c5ep-1f, 0x1.314c5p+4f}, // 87
    {0x1.1de58cp-5f, 0x1.ffb028p-1f, 0x1.ca2e1ap+4f}, // 88
    {0x1.1df09ap-6f, 0x1.ffec0ap-1f, 0x1.ca52p+5f}, // 89
    {-0x1.777a5cp-25f, 0x1p+0f, -0x1.5d1496p+24f}, // 90
    {-0x1.1df078p-6f, 0x1.ffec0ap-1f, -0x1.ca5236p+5f}, // 91
    {-0x1.1de57ap-5f, 0x1.ffb028p-1f, -0x1.ca2e36p+4f}, // 92
    {-0x1.acbc6cp-5f, 0x1.ff4c5ep-1f, -0x1.314c5cp+4f}, // 93
    {-0x1.1db8f8p-4f, 0x1.fec0b8p-1f, -0x1.c99f0cp+3f}, // 94
    {-0x1.64fd72p-4f, 0x1.fe0d3cp-1f, -0x1.6dc2f6p+3f}, // 95
    {-0x1.ac2616p-4f, 0x1.fd31fap-1f, -0x1.3075a4p+3f}, // 96
    {-0x1.f32d36p-4f, 0x1.fc2f02p-1f, -0x1.049e84p+3f}, // 97
    {-0x1.1d06c6p-3f, 0x1.fb046ap-1f, -0x1.c7623ep+2f}, // 98
    {-0x1.4060b4p-3f, 0x1.f9b24ap-1f, -0x1.941484p+2f}, // 99
    {-0x1.63a1aap-3f, 0x1.f838b8p-1f, -0x1.6af646p+2f}, // 100
    {-0x1.86c6e2p-3f, 0x1.f697d6p-1f, -0x1.49405cp+2f}, // 101
    {-0x1.a9cda2p-3f, 0x1.f4cfc2p-1f, -0x1.2d18a4p+2f}, // 102
    {-0x1.ccb31ep-3f, 0x1.f2e0a2p-1f, -0x1.1536eap+2f}, // 103
    {-0x1.ef74bcp-3f, 0x1.f0ca9ap-1f, -0x1.00b0a4p+2f}, // 104
    {-0x1.0907dcp-2f, 0x1.ee8dd4p-1f, -0x1.ddb3d8p+1f}, // 105
    {-0x1.1a40aep-2f, 0x1.ec2a7ep-1f, -0x1.be6398p+1f}, // 106
    {-0x1.2b638p-2f, 0x1.e9a0c6p-1f, -0x1.a2ab4ap+1f}, // 107
    {-0x1.3c6ef6p-2f, 0x1.e6f0ep-1f, -0x1.89f184p+1f}, // 108
    {-0x1.4d61bap-2f, 0x1.e41b04p-1f, -0x1.73bd32p+1f}, // 109
    {-0x1.5e3a86p-2f, 0x1.e11f64p-1f, -0x1.5fad58p+1f}, // 110
    {-0x1.6ef802p-2f, 0x1.ddfe42p-1f, -0x1.4d739p+1f}, // 111
    {-0x1.7f98ep-2f, 0x1.dab7d8p-1f, -0x1.3ccfa4p+1f}, // 112
    {-0x1.901bd4p-2f, 0x1.d74c6ap-1f, -0x1.2d8c9p+1f}, // 113
    {-0x1.a07f96p-2f, 0x1.d3bc3ap-1f, -0x1.1f7e2p+1f}, // 114
    {-0x1.b0c2dcp-2f, 0x1.d00792p-1f, -0x1.127f3p+1f}, // 115
    {-0x1.c0e45cp-2f, 0x1.cc2ebcp-1f, -0x1.06705cp+1f}, // 116
    {-0x1.d0e2eap-2f, 0x1.c832p-1f, -0x1.f66d9ap+0f}, // 117
    {-0x1.e0bd28p-2f, 0x1.c411b4p-1f, -0x1.e17748p+0f}, // 118
    {-0x1.f071eap-2f, 0x1.bfce28p-1f, -0x1.cdd618p+0f}, // 119
    {-0x1.000002p-1f, 0x1.bb67aep-1f, -0x1.bb67aap+0f}, // 120
    {-0x1.07b31p-1f, 0x1.b6dea2p-1f, -0x1.aa0e3cp+0f}, // 121
    {-0x1.0f5196p-1f, 0x1.b2335ap-1f, -0x1.99af8p+0f}, // 122
    {-0x1.16daeep-1f, 0x1.ad663ap-1f, -0x1.8a3496p+0f}, // 123
    {-0x1.1e4e86p-1f, 0x1.a8779ep-1f, -0x1.7b8922p+0f}, // 124
    {-0x1.25abdp-1f, 0x1.a367e4p-1f, -0x1.6d9b1ap+0f}, // 125
    {-0x1.2cf22ep-1f, 0x1.9e377ap-1f, -0x1.605a94p+0f}, // 126
    {-0x1.34211cp-1f, 0x1.98e6cp-1f, -0x1.53b932p+0f}, // 127
    {-0x1.3b37fap-1f, 0x1.937626p-1f, -0x1.47aa42p+0f}, // 128
    {-0x1.423646p-1f, 0x1.8de616p-1f, -0x1.3c223ep+0f}, // 129
    {-0x1.491b76p-1f, 0x1.8836fap-1f, -0x1.3116c2p+0f}, // 130
    {-0x1.4fe6f6p-1f, 0x1.82694cp-1f, -0x1.267e8ep+0f}, // 131
    {-0x1.56984cp-1f, 0x1.7c7d7ap-1f, -0x1.1c5118p+0f}, // 132
    {-0x1.5d2ee2p-1f, 0x1.7673fep-1f, -0x1.1286c2p+0f}, // 133
    {-0x1.63aa46p-1f, 0x1.704d4cp-1f, -0x1.09188p+0f}, // 134
    {-0x1.6a09e6p-1f, 0x1.6a09e6p-1f, -0x1p+0f}, // 135
    {-0x1.704d4cp-1f, 0x1.63aa46p-1f, -0x1.ee6ec8p-1f}, // 136
    {-0x1.7674p-1f, 0x1.5d2ee2p-1f, -0x1.dd729cp-1f}, // 137
    {-0x1.7c7d7ap-1f, 0x1.56984ap-1f, -0x1.cd01c6p-1f}, // 138
    {-0x1.82694ep-1f, 0x1.4fe6f6p-1f, -0x1.bd1322p-1f}, // 139
    {-0x1.8836fap-1f, 0x1.491b76p-1f, -0x1.ad9e78p-1f}, // 140
    {-0x1.8de61p-1f, 0x1.42364cp-1f, -0x1.9e9c0ap-1f}, // 141
    {-0x1.937626p-1f, 0x1.3b37fap-1f, -0x1.9004aap-1f}, // 142
    {-0x1.98e6cp-1f, 0x1.34211cp-1f, -0x1.81d1dap-1f}, // 143
    {-0x1.9e377cp-1f, 0x1.2cf22ep-1f, -0x1.73fd5ep-1f}, // 144
    {-0x1.a367e6p-1f, 0x1.25abdp-1f, -0x1.66819cp-1f}, // 145
};

} // namespace dbld_winkel

#endif
