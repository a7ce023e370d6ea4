// Vector helpers shared by the kernels of the array paths (projections and
// the datum shift), compiled once per instruction set: include it inside a
// Highway target region, after <hwy/highway.h> and the math header.
#if defined(ZRPJ_VECTOR_MATH_INL_H_) == defined(HWY_TARGET_TOGGLE)
#ifdef ZRPJ_VECTOR_MATH_INL_H_
#undef ZRPJ_VECTOR_MATH_INL_H_
#else
#define ZRPJ_VECTOR_MATH_INL_H_
#endif

#include <hwy/contrib/math/math-inl.h>
#include <hwy/highway.h>

#include <limits>

#ifndef ZRPJ_VECTOR_MATH_TABLES_
#define ZRPJ_VECTOR_MATH_TABLES_
namespace zrpj {
namespace vector_tables {
// clang-format off
// atan(i/64) for i = 0 .. 64 and 2^(j/64) for j = 0 .. 63, each as the
// rounded double and the remainder, so that a table value carries 106 bits.
alignas(64) constexpr double kAtanHigh[65] = {
    0x0.0p+0, 0x1.fff555bbb729bp-7, 0x1.ffd55bba97625p-6, 0x1.7fb818430da2ap-5, 0x1.ff55bb72cfdeap-5,
    0x1.3f59f0e7c559dp-4, 0x1.7ee182602f10fp-4, 0x1.be39ebe6f07c3p-4, 0x1.fd5ba9aac2f6ep-4,
    0x1.1e1fafb043727p-3, 0x1.3d6eee8c6626cp-3, 0x1.5c9811e3ec26ap-3, 0x1.7b97b4bce5b02p-3,
    0x1.9a6a8e96c8626p-3, 0x1.b90d7529260a2p-3, 0x1.d77d5df205736p-3, 0x1.f5b75f92c80ddp-3,
    0x1.09dc597d86362p-2, 0x1.18bf5a30bf178p-2, 0x1.278372057ef46p-2, 0x1.362773707ebccp-2,
    0x1.44aa436c2af0ap-2, 0x1.530ad9951cd4ap-2, 0x1.614840309cfe2p-2, 0x1.6f61941e4def1p-2,
    0x1.7d5604b63b3f7p-2, 0x1.8b24d394a1b25p-2, 0x1.98cd5454d6b18p-2, 0x1.a64eec3cc23fdp-2,
    0x1.b3a911da65c6cp-2, 0x1.c0db4c94ec9f0p-2, 0x1.cde53432c1351p-2, 0x1.dac670561bb4fp-2,
    0x1.e77eb7f175a34p-2, 0x1.f40dd0b541418p-2, 0x1.0039c73c1a40cp-1, 0x1.0657e94db30d0p-1,
    0x1.0c6145b5b43dap-1, 0x1.1255d9bfbd2a9p-1, 0x1.1835a88be7c13p-1, 0x1.1e00babdefeb4p-1,
    0x1.23b71e2cc9e6ap-1, 0x1.2958e59308e31p-1, 0x1.2ee628406cbcap-1, 0x1.345f01cce37bbp-1,
    0x1.39c391cd4171ap-1, 0x1.3f13fb89e96f4p-1, 0x1.445065b795b56p-1, 0x1.4978fa3269ee1p-1,
    0x1.4e8de5bb6ec04p-1, 0x1.538f57b89061fp-1, 0x1.587d81f732fbbp-1, 0x1.5d58987169b18p-1,
    0x1.6220d115d7b8ep-1, 0x1.66d663923e087p-1, 0x1.6b798920b3d99p-1, 0x1.700a7c5784634p-1,
    0x1.748978fba8e0fp-1, 0x1.78f6bbd5d315ep-1, 0x1.7d528289fa093p-1, 0x1.819d0b7158a4dp-1,
    0x1.85d69576cc2c5p-1, 0x1.89ff5ff57f1f8p-1, 0x1.8e17aa99cc05ep-1, 0x1.921fb54442d18p-1};
alignas(64) constexpr double kAtanLow[65] = {
    0x0.0p+0, -0x1.220c39d4dff50p-61, -0x1.5ec431444912cp-60, -0x1.86ef8f794f105p-63, -0x1.c934d86d23f1dp-60,
    0x1.ac4ce285df847p-58, -0x1.cfb654c0c3d98p-58, 0x1.f7b8f29a05987p-58, -0x1.cd37686760c17p-59,
    -0x1.b485914dacf8cp-59, 0x1.61a3b0ce9281bp-57, -0x1.054ab2c010f3dp-58, 0x1.347b0b4f881cap-58,
    0x1.cf601e7b4348ep-59, 0x1.17b10d2e0e5abp-61, 0x1.c648d1534597ep-57, 0x1.8ab6e3cf7afbdp-57,
    0x1.62e47390cb865p-56, 0x1.30ca4748b1bf9p-57, -0x1.077cdd36dfc81p-56, -0x1.963a544b672d8p-57,
    -0x1.5d5e43c55b3bap-56, -0x1.2566480884082p-57, -0x1.a725715711f00p-56, -0x1.c63aae6f6e918p-56,
    0x1.69c885c2b249ap-56, 0x1.b6d0ba3748fa8p-56, 0x1.9e6c988fd0a77p-56, -0x1.24dec1b50b7ffp-56,
    0x1.ae187b1ca5040p-56, -0x1.cc1ce70934c34p-56, -0x1.a2cfa4418f1adp-56, 0x1.a2b7f222f65e2p-56,
    0x1.0e53dc1bf3435p-56, -0x1.a3992dc382a23p-57, -0x1.b32c949c9d593p-55, -0x1.d5b495f6349e6p-56,
    0x1.974fa13b5404fp-58, -0x1.2bdaee1c0ee35p-58, 0x1.c621cec00c301p-55, -0x1.928df287a668fp-58,
    0x1.c421c9f38224ep-57, -0x1.09e73b0c6c087p-56, 0x1.c5d5e9ff0cf8dp-55, 0x1.1021137c71102p-55,
    -0x1.2304331d8bf46p-55, 0x1.ecf8b492644f0p-56, -0x1.f76d0163f79c8p-56, 0x1.2419a87f2a458p-56,
    0x1.4a33dbeb3796cp-55, -0x1.1bb74abda520cp-55, -0x1.5e5c9d8c5a950p-56, 0x1.0028e4bc5e7cap-57,
    -0x1.2b785350ee8c1p-57, -0x1.6ea6febe8bbbap-56, -0x1.a80386188c50ep-55, -0x1.8c34d25aadef6p-56,
    0x1.7b2a6165884a1p-59, 0x1.406a089803740p-55, 0x1.560821e2f3aa9p-55, -0x1.bf76229d3b917p-56,
    0x1.6b66e7fc8b8c3p-57, -0x1.55b9a5e177a1bp-55, -0x1.ec182ab042f61p-56, 0x1.1a62633145c07p-55};
alignas(64) constexpr double kExp2High[64] = {
    0x1.0000000000000p+0, 0x1.02c9a3e778061p+0, 0x1.059b0d3158574p+0, 0x1.0874518759bc8p+0,
    0x1.0b5586cf9890fp+0, 0x1.0e3ec32d3d1a2p+0, 0x1.11301d0125b51p+0, 0x1.1429aaea92de0p+0,
    0x1.172b83c7d517bp+0, 0x1.1a35beb6fcb75p+0, 0x1.1d4873168b9aap+0, 0x1.2063b88628cd6p+0,
    0x1.2387a6e756238p+0, 0x1.26b4565e27cddp+0, 0x1.29e9df51fdee1p+0, 0x1.2d285a6e4030bp+0,
    0x1.306fe0a31b715p+0, 0x1.33c08b26416ffp+0, 0x1.371a7373aa9cbp+0, 0x1.3a7db34e59ff7p+0,
    0x1.3dea64c123422p+0, 0x1.4160a21f72e2ap+0, 0x1.44e086061892dp+0, 0x1.486a2b5c13cd0p+0,
    0x1.4bfdad5362a27p+0, 0x1.4f9b2769d2ca7p+0, 0x1.5342b569d4f82p+0, 0x1.56f4736b527dap+0,
    0x1.5ab07dd485429p+0, 0x1.5e76f15ad2148p+0, 0x1.6247eb03a5585p+0, 0x1.6623882552225p+0,
    0x1.6a09e667f3bcdp+0, 0x1.6dfb23c651a2fp+0, 0x1.71f75e8ec5f74p+0, 0x1.75feb564267c9p+0,
    0x1.7a11473eb0187p+0, 0x1.7e2f336cf4e62p+0, 0x1.82589994cce13p+0, 0x1.868d99b4492edp+0,
    0x1.8ace5422aa0dbp+0, 0x1.8f1ae99157736p+0, 0x1.93737b0cdc5e5p+0, 0x1.97d829fde4e50p+0,
    0x1.9c49182a3f090p+0, 0x1.a0c667b5de565p+0, 0x1.a5503b23e255dp+0, 0x1.a9e6b5579fdbfp+0,
    0x1.ae89f995ad3adp+0, 0x1.b33a2b84f15fbp+0, 0x1.b7f76f2fb5e47p+0, 0x1.bcc1e904bc1d2p+0,
    0x1.c199bdd85529cp+0, 0x1.c67f12e57d14bp+0, 0x1.cb720dcef9069p+0, 0x1.d072d4a07897cp+0,
    0x1.d5818dcfba487p+0, 0x1.da9e603db3285p+0, 0x1.dfc97337b9b5fp+0, 0x1.e502ee78b3ff6p+0,
    0x1.ea4afa2a490dap+0, 0x1.efa1bee615a27p+0, 0x1.f50765b6e4540p+0, 0x1.fa7c1819e90d8p+0};
alignas(64) constexpr double kExp2Low[64] = {
    0x0.0p+0, -0x1.19083535b085dp-56, 0x1.d73e2a475b465p-55, 0x1.186be4bb284ffp-57, 0x1.8a62e4adc610bp-54,
    0x1.03a1727c57b53p-59, -0x1.6c51039449b3ap-54, -0x1.32fbf9af1369ep-54, -0x1.19041b9d78a76p-55,
    0x1.e5b4c7b4968e4p-55, 0x1.e016e00a2643cp-54, 0x1.dc775814a8495p-55, 0x1.9b07eb6c70573p-54,
    0x1.2bd339940e9d9p-55, 0x1.612e8afad1255p-55, 0x1.0024754db41d5p-54, 0x1.6f46ad23182e4p-55,
    0x1.32721843659a6p-54, -0x1.63aeabf42eae2p-54, -0x1.5e436d661f5e3p-56, 0x1.ada0911f09ebcp-55,
    -0x1.ef3691c309278p-58, 0x1.89b7a04ef80d0p-59, 0x1.3c1a3b69062f0p-56, 0x1.d4397afec42e2p-56,
    -0x1.4b309d25957e3p-54, -0x1.07abe1db13cadp-55, 0x1.9bb2c011d93adp-54, 0x1.6324c054647adp-54,
    0x1.ba6f93080e65ep-54, -0x1.383c17e40b497p-54, -0x1.bb60987591c34p-54, -0x1.bdd3413b26456p-54,
    -0x1.bbe3a683c88abp-57, -0x1.16e4786887a99p-55, -0x1.0245957316dd3p-54, -0x1.41577ee04992fp-55,
    0x1.05d02ba15797ep-56, -0x1.d4c1dd41532d8p-54, -0x1.fc6f89bd4f6bap-54, 0x1.6e9f156864b27p-54,
    0x1.5cc13a2e3976cp-55, -0x1.75fc781b57ebcp-57, -0x1.d185b7c1b85d1p-54, 0x1.c7c46b071f2bep-56,
    -0x1.359495d1cd533p-54, -0x1.d2f6edb8d41e1p-54, 0x1.0fac90ef7fd31p-54, 0x1.7a1cd345dcc81p-54,
    -0x1.2805e3084d708p-57, -0x1.5584f7e54ac3bp-56, 0x1.23dd07a2d9e84p-55, 0x1.11065895048ddp-55,
    0x1.2884dff483cadp-54, 0x1.503cbd1e949dbp-56, -0x1.cbc3743797a9cp-54, 0x1.2ed02d75b3707p-55,
    0x1.c2300696db532p-54, -0x1.1a5cd4f184b5cp-54, 0x1.39e8980a9cc8fp-55, -0x1.e9c23179c2893p-54,
    0x1.dc7f486a4b6b0p-54, 0x1.9d3e12dd8a18bp-54, 0x1.74853f3a5931ep-55};
// For the logarithm: over [0.6875, 1.375) cut in 128 intervals by the top
// bits of the mantissa, 1/c for each interval's centre c rounded to a double
// (1 for the two beside 1, so that near 1 the reduction is exact and nothing
// cancels), and -log of that reciprocal as a pair.
alignas(64) constexpr double kLogInverseC[128] = {
    0x1.734f0c541fe8dp+0, 0x1.713786d9c7c09p+0, 0x1.6f26016f26017p+0, 0x1.6d1a62681c861p+0,
    0x1.6b1490aa31a3dp+0, 0x1.691473a88d0c0p+0, 0x1.6719f3601671ap+0, 0x1.6524f853b4aa3p+0,
    0x1.63356b88ac0dep+0, 0x1.614b36831ae94p+0, 0x1.5f66434292dfcp+0, 0x1.5d867c3ece2a5p+0,
    0x1.5babcc647fa91p+0, 0x1.59d61f123ccaap+0, 0x1.5805601580560p+0, 0x1.56397ba7c52e2p+0,
    0x1.54725e6bb82fep+0, 0x1.52aff56a8054bp+0, 0x1.50f22e111c4c5p+0, 0x1.4f38f62dd4c9bp+0,
    0x1.4d843bedc2c4cp+0, 0x1.4bd3edda68fe1p+0, 0x1.4a27fad76014ap+0, 0x1.4880522014880p+0,
    0x1.46dce34596066p+0, 0x1.453d9e2c776cap+0, 0x1.43a2730abee4dp+0, 0x1.420b5265e5951p+0,
    0x1.40782d10e6566p+0, 0x1.3ee8f42a5af07p+0, 0x1.3d5d991aa75c6p+0, 0x1.3bd60d9232955p+0,
    0x1.3a524387ac822p+0, 0x1.38d22d366088ep+0, 0x1.3755bd1c945eep+0, 0x1.35dce5f9f2af8p+0,
    0x1.34679ace01346p+0, 0x1.32f5ced6a1dfap+0, 0x1.3187758e9ebb6p+0, 0x1.301c82ac40260p+0,
    0x1.2eb4ea1fed14bp+0, 0x1.2d50a012d50a0p+0, 0x1.2bef98e5a3711p+0, 0x1.2a91c92f3c105p+0,
    0x1.293725bb804a5p+0, 0x1.27dfa38a1ce4dp+0, 0x1.268b37cd60127p+0, 0x1.2539d7e9177b2p+0,
    0x1.23eb79717605bp+0, 0x1.22a0122a0122ap+0, 0x1.21579804855e6p+0, 0x1.2012012012012p+0,
    0x1.1ecf43c7fb84cp+0, 0x1.1d8f5672e4abdp+0, 0x1.1c522fc1ce059p+0, 0x1.1b17c67f2bae3p+0,
    0x1.19e0119e0119ep+0, 0x1.18ab083902bdbp+0, 0x1.1778a191bd684p+0, 0x1.1648d50fc3201p+0,
    0x1.151b9a3fdd5c9p+0, 0x1.13f0e8d344724p+0, 0x1.12c8b89edc0acp+0, 0x1.11a3019a74826p+0,
    0x1.107fbbe011080p+0, 0x1.0f5edfab325a2p+0, 0x1.0e40655826011p+0, 0x1.0d24456359e3ap+0,
    0x1.0c0a7868b4171p+0, 0x1.0af2f722eecb5p+0, 0x1.09ddba6af8360p+0, 0x1.08cabb37565e2p+0,
    0x1.07b9f29b8eae2p+0, 0x1.06ab59c7912fbp+0, 0x1.059eea0727586p+0, 0x1.04949cc1664c5p+0,
    0x1.038c6b78247fcp+0, 0x1.02864fc7729e9p+0, 0x1.0182436517a37p+0, 0x1.0000000000000p+0,
    0x1.0000000000000p+0, 0x1.fa11caa01fa12p-1, 0x1.f6310aca0dbb5p-1, 0x1.f25f644230ab5p-1,
    0x1.ee9c7f8458e02p-1, 0x1.eae807aba01ebp-1, 0x1.e741aa59750e4p-1, 0x1.e3a9179dc1a73p-1,
    0x1.e01e01e01e01ep-1, 0x1.dca01dca01dcap-1, 0x1.d92f2231e7f8ap-1, 0x1.d5cac807572b2p-1,
    0x1.d272ca3fc5b1ap-1, 0x1.cf26e5c44bfc6p-1, 0x1.cbe6d9601cbe7p-1, 0x1.c8b265afb8a42p-1,
    0x1.c5894d10d4986p-1, 0x1.c26b5392ea01cp-1, 0x1.bf583ee868d8bp-1, 0x1.bc4fd65883e7bp-1,
    0x1.b951e2b18ff23p-1, 0x1.b65e2e3beee05p-1, 0x1.b37484ad806cep-1, 0x1.b094b31d922a4p-1,
    0x1.adbe87f94905ep-1, 0x1.aaf1d2f87ebfdp-1, 0x1.a82e65130e159p-1, 0x1.a574107688a4ap-1,
    0x1.a2c2a87c51ca0p-1, 0x1.a01a01a01a01ap-1, 0x1.9d79f176b682dp-1, 0x1.9ae24ea5510dap-1,
    0x1.9852f0d8ec0ffp-1, 0x1.95cbb0be377aep-1, 0x1.934c67f9b2ce6p-1, 0x1.90d4f120190d5p-1,
    0x1.8e6527af1373fp-1, 0x1.8bfce8062ff3ap-1, 0x1.899c0f601899cp-1, 0x1.87427bcc092b9p-1,
    0x1.84f00c2780614p-1, 0x1.82a4a0182a4a0p-1, 0x1.8060180601806p-1, 0x1.7e225515a4f1dp-1,
    0x1.7beb3922e017cp-1, 0x1.79baa6bb6398bp-1, 0x1.77908119ac60dp-1, 0x1.756cac201756dp-1};
alignas(64) constexpr double kLogCHigh[128] = {
    -0x1.7cc7f7db46a0ep-2, -0x1.76feecb947176p-2, -0x1.713e33a46a17cp-2, -0x1.6b85b4cffa3fdp-2,
    -0x1.65d558d4ce00bp-2, -0x1.602d08af091ecp-2, -0x1.5a8cadbbedfa1p-2, -0x1.54f431b7be1a8p-2,
    -0x1.4f637ebba9810p-2, -0x1.49da7f3bcc420p-2, -0x1.44591e0539f49p-2, -0x1.3edf463c1683ep-2,
    -0x1.396ce359bbf53p-2, -0x1.3401e12aecba0p-2, -0x1.2e9e2bce12286p-2, -0x1.2941afb186b7cp-2,
    -0x1.23ec5991eba49p-2, -0x1.1e9e1678899f5p-2, -0x1.1956d3b9bc2f9p-2, -0x1.14167ef367784p-2,
    -0x1.0edd060b78082p-2, -0x1.09aa572e6c6d4p-2, -0x1.047e60cde83b7p-2, -0x1.feb2233ea07cbp-3,
    -0x1.f474b134df228p-3, -0x1.ea4449f04aaf5p-3, -0x1.e020cc6235ab5p-3, -0x1.d60a17f903514p-3,
    -0x1.cc000c9db3c52p-3, -0x1.c2028ab17f9b5p-3, -0x1.b811730b823d4p-3, -0x1.ae2ca6f672bd8p-3,
    -0x1.a454082e6ab03p-3, -0x1.9a8778debaa3ap-3, -0x1.90c6db9fcbcdbp-3, -0x1.871213750e994p-3,
    -0x1.7d6903caf5acdp-3, -0x1.73cb9074fd14dp-3, -0x1.6a399dabbd383p-3, -0x1.60b3100b09474p-3,
    -0x1.5737cc9018cddp-3, -0x1.4dc7b897bc1c7p-3, -0x1.4462b9dc9b3dcp-3, -0x1.3b08b6757f2a7p-3,
    -0x1.31b994d3a4f86p-3, -0x1.28753bc11aba2p-3, -0x1.1f3b925f25d44p-3, -0x1.160c8024b27b0p-3,
    -0x1.0ce7ecdccc28bp-3, -0x1.03cdc0a51ec0dp-3, -0x1.f57bc7d9005dbp-4, -0x1.e3707ee30487bp-4,
    -0x1.d179788219362p-4, -0x1.bf968769fca18p-4, -0x1.adc77ee5aea8ep-4, -0x1.9c0c32d4d254dp-4,
    -0x1.8a6477a91dc29p-4, -0x1.78d02263d82d7p-4, -0x1.674f089365a78p-4, -0x1.55e10050e0382p-4,
    -0x1.4485e03dbdfb0p-4, -0x1.333d7f8183f4ap-4, -0x1.2207b5c7854a1p-4, -0x1.10e45b3cae829p-4,
    -0x1.ffa6911ab9309p-5, -0x1.dda8adc67ee59p-5, -0x1.bbcebfc68f424p-5, -0x1.9a187b573de81p-5,
    -0x1.788595a3577c8p-5, -0x1.5715c4c03cee1p-5, -0x1.35c8bfaa13069p-5, -0x1.149e3e4005a8dp-5,
    -0x1.e72bf2813ce6ap-6, -0x1.a55f548c5c427p-6, -0x1.63d6178690bbep-6, -0x1.228fb1fea2e0ap-6,
    -0x1.c317384c75f0dp-7, -0x1.41929f968330cp-7, -0x1.8121214586b02p-8, 0x0.0p+0, 0x0.0p+0,
    0x1.7dc475f810a69p-7, 0x1.3cea44346a584p-6, 0x1.b9fc027af919ap-6, 0x1.1b0d98923d97fp-5,
    0x1.58a5bafc8e4d3p-5, 0x1.95c830ec8e3f2p-5, 0x1.d276b8adb0b56p-5, 0x1.075983598e471p-4,
    0x1.253f62f0a1417p-4, 0x1.42edcbea646eep-4, 0x1.60658a93750c4p-4, 0x1.7da766d7b12d0p-4,
    0x1.9ab42462033aep-4, 0x1.b78c82bb0eda0p-4, 0x1.d4313d66cb35dp-4, 0x1.f0a30c01162a4p-4,
    0x1.0671512ca596fp-3, 0x1.14785846742acp-3, 0x1.2266f190a5acdp-3, 0x1.303d718e47fd5p-3,
    0x1.3dfc2b0ecc62ap-3, 0x1.4ba36f39a55e5p-3, 0x1.59338d9982085p-3, 0x1.66acd4272ad51p-3,
    0x1.740f8f54037a3p-3, 0x1.815c0a14357e9p-3, 0x1.8e928de886d41p-3, 0x1.9bb362e7dfb85p-3,
    0x1.a8becfc882f19p-3, 0x1.b5b519e8fb5a6p-3, 0x1.c2968558c18c2p-3, 0x1.cf6354e09c5ddp-3,
    0x1.dc1bca0abec7bp-3, 0x1.e8c0252aa5a60p-3, 0x1.f550a564b7b37p-3, 0x1.00e6c45ad501dp-2,
    0x1.071b85fcd590dp-2, 0x1.0d46b579ab74bp-2, 0x1.136870293a8b0p-2, 0x1.1980d2dd4236fp-2,
    0x1.1f8ff9e48a2f3p-2, 0x1.2596010df763ap-2, 0x1.2b9303ab89d25p-2, 0x1.31871c9544185p-2,
    0x1.3772662bfd85cp-2, 0x1.3d54fa5c1f710p-2, 0x1.432ef2a04e813p-2};
alignas(64) constexpr double kLogCLow[128] = {
    -0x1.e3c7fdc323c2dp-56, 0x1.398d9eb4ea363p-56, 0x1.f6cf40b5c71a6p-57, 0x1.1af2c8dafcb08p-57,
    0x1.4e05a4748480ap-56, -0x1.a45db7cfd9230p-56, -0x1.64f5081307f22p-60, 0x1.0b3f6ef6ae452p-58,
    0x1.68cb3124b9245p-56, 0x1.d964a168ccacbp-57, -0x1.a76d6dc2782dap-59, 0x1.c852fe587def8p-57,
    0x1.5c5663663d163p-59, -0x1.f95523adc5c9fp-57, 0x1.f3ed72e23e134p-57, -0x1.6a4678ebaa300p-59,
    -0x1.76eba35bbf0dfp-61, -0x1.64b0dd2687939p-58, -0x1.0e75a3542856fp-58, -0x1.ef824daaf53e9p-56,
    -0x1.2d4b610d7d4f5p-57, -0x1.f9e17343426a9p-56, -0x1.08869cbf9e344p-56, -0x1.8de00938b4c30p-61,
    0x1.9f1df7b5daab7p-60, 0x1.f33919ab94074p-57, 0x1.f0adb91423f18p-57, 0x1.50df841a71b7ap-57,
    -0x1.67a2a8500729ep-58, -0x1.c11aa3853a5f0p-57, 0x1.d7c46328983c6p-58, 0x1.a4a356155f779p-57,
    0x1.e0df823a3cb3dp-58, -0x1.28fbfb0e3f0fcp-58, 0x1.357718d7ca4cfp-58, 0x1.a97a0ca115d60p-57,
    0x1.0b17c301d6e14p-57, 0x1.721a000b4cf01p-57, -0x1.76332bd4b341fp-57, -0x1.526cee0fd7f4ap-57,
    0x1.00b28ef013c72p-57, -0x1.b60ae1ff0e82ep-59, 0x1.85388d830c709p-59, -0x1.5e1ad9be0a4cdp-57,
    0x1.1238b5efe0665p-57, 0x1.7394d9fa33313p-57, -0x1.08b27be4e6b15p-57, 0x1.355bfd870afebp-59,
    -0x1.1b57fea88da98p-59, -0x1.19e2d3f8b7d10p-57, 0x1.d361574fb24e2p-58, -0x1.9399d9aaf3b33p-59,
    0x1.b12841044a96cp-58, 0x1.06e4fb7af9c69p-58, -0x1.d7d8f39bee658p-58, 0x1.627a0e199f569p-58,
    0x1.3d4190a482421p-58, -0x1.cbca5b4fdb87ep-58, -0x1.ca64e9980e048p-59, -0x1.9a0629e3973e4p-58,
    -0x1.3ba349aadbc6dp-58, 0x1.adaa06e211e9ep-59, -0x1.b3f0431efb154p-58, -0x1.9b5ed72e6d974p-58,
    0x1.cd9f1f95c2ef1p-59, 0x1.31936790bb3b2p-59, 0x1.cd1862f854848p-59, -0x1.b13b26f298a6ap-64,
    -0x1.2f7c4c5b3c8bdp-62, -0x1.5101dc4ebf91fp-59, 0x1.50830a65543a8p-63, 0x1.a9a4168fcebebp-60,
    0x1.8a4bba6a354fap-60, -0x1.f60d2fc36a0d9p-61, 0x1.18ed4d357c9dcp-60, -0x1.3284991fe3d5cp-61,
    -0x1.806208c04c21fp-61, -0x1.3aae809b43dd0p-61, 0x1.c7d68c0d910f2p-62, 0x0.0p+0, 0x0.0p+0,
    0x1.74944bc161072p-61, -0x1.865ad48159d00p-61, -0x1.90ae69229dc86p-60, -0x1.74d7444dd6241p-59,
    -0x1.cab8569c56e40p-64, 0x1.eb41d00a417e9p-60, 0x1.078f14c95ff53p-59, 0x1.006d2999e22dcp-58,
    0x1.1f6d34e01d981p-61, -0x1.511583653349bp-58, -0x1.f108b1d8436d3p-59, 0x1.a2240644d7da2p-59,
    -0x1.a099e1c184e8ep-59, -0x1.3ef0e61f9b03cp-58, 0x1.b90dd951d90fap-58, 0x1.8be64b8b7759bp-59,
    -0x1.2f39b81479b67p-58, 0x1.94409f1d3f83ap-60, -0x1.dab840e7f6177p-57, -0x1.b5ae71f658247p-57,
    0x1.ba62b8c13f7f4p-57, -0x1.f767e433c98aap-57, 0x1.8d16eaaba9419p-57, -0x1.9201c9c3d5165p-59,
    0x1.6d9bf9d57b326p-58, 0x1.141b7f8c5fa9ep-58, 0x1.2589eb96a6240p-59, -0x1.51439c1ff83e7p-58,
    -0x1.a8c37918c39ebp-58, -0x1.d5d8023e61e5fp-57, 0x1.6108e3ae024acp-60, 0x1.339a07d55b696p-57,
    0x1.c698a33316dfbp-58, -0x1.dc074737f9135p-60, -0x1.13a09202fe73dp-57, -0x1.3b9568ff6feadp-57,
    0x1.08b83fcbdef40p-57, 0x1.21f640e1e5ec9p-56, 0x1.86cc531dba494p-57, -0x1.02c2e4f1b2eb9p-56,
    -0x1.93fbf3418960dp-57, -0x1.9eed8ae0ebd3cp-59, -0x1.85ad7f614ab51p-58, -0x1.ea3598981366fp-57,
    0x1.02a7589fba088p-57, 0x1.53668e578d9cdp-58, -0x1.83262e2b59206p-57};
// clang-format on
} // namespace vector_tables
} // namespace zrpj
#endif

HWY_BEFORE_NAMESPACE();
namespace zrpj {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using D = hn::ScalableTag<double>;
using V = hn::Vec<D>;
using M = decltype(hn::MaskFromVec(hn::Zero(D())));

HWY_INLINE V C(double v) {
    return hn::Set(D(), v);
}

HWY_INLINE M Finite(V v) {
    return hn::Lt(hn::Abs(v), C(std::numeric_limits<double>::infinity()));
}

// ---- Arctangent, arcsine and exponential near correct rounding ----
// The scalar path calls the C library's atan2, atan, asin and exp, which round
// correctly in all but rare cases. Highway's are one or two units in the last
// place off in a few per cent of arguments, and a cone's radius, a longitude
// of a half turn or 2 atan(exp t) - pi/2 carries that into the result as
// several last places (14 nm or 5e-14 degrees over the baseline's grids). The
// functions below keep about 100 bits until the final addition, so that they
// round as the C library does except where the exact value lies within
// about 2^-20 units in the last place of a rounding boundary.

// The rounding error of a * b = p, exactly: fused where the target has it,
// else Dekker's product of Veltkamp's halves.
HWY_INLINE V ProductError(V a, V b, V p) {
#if HWY_NATIVE_FMA
    return hn::MulSub(a, b, p);
#else
    const V split = C(134217729.0); // 2^27 + 1
    V t = a * split;
    const V ah = t - (t - a), al = a - ah;
    t = b * split;
    const V bh = t - (t - b), bl = b - bh;
    return ((ah * bh - p) + ah * bl + al * bh) + al * bl;
#endif
}

// s + e = a + b exactly (Knuth's sum, any order of magnitude).
HWY_INLINE void TwoSum(V a, V b, V& s, V& e) {
    s = a + b;
    const V bb = s - a;
    e = (a - (s - bb)) + (b - bb);
}

// The same where |a| >= |b| or a is zero (Dekker's).
HWY_INLINE void FastTwoSum(V a, V b, V& s, V& e) {
    s = a + b;
    e = b - (s - a);
}

// (qh + ql) = (ah + al) / (bh + bl) to about 100 bits with one division: the
// first quotient from the reciprocal is within a unit or two in its last
// place, so its remainder is exact, and the second term corrects it.
HWY_INLINE void DivideDD(V ah, V al, V bh, V bl, V& qh, V& ql) {
    const V reciprocal = C(1.0) / bh;
    qh = ah * reciprocal;
    const V p = qh * bh;
    const V remainder = ((ah - p) - ProductError(qh, bh, p)) + al - qh * bl;
    ql = remainder * reciprocal;
}

// atan(qh + ql) for 0 <= qh <= 1 as a pair: the nearest 64th c takes its
// tabulated arctangent, and the rest is atan u, u = (q - c) / (1 + q c) with
// |u| <= 1/128, whose odd series to u^9 leaves under 2^-63 of it (and whose
// cubic term, under 2^-15 of the result, adds no rounding that matters).
HWY_INLINE void AtanReduced(V qh, V ql, V& sh, V& sl) {
    const D d;
    const hn::RebindToSigned<D> di;
    V i = hn::Round(qh * C(64.0));
    i = hn::IfThenElseZero(hn::Le(i, C(64.0)), i); // NaN reads entry 0
    const auto index = hn::ConvertTo(di, i);
    const V ah = hn::GatherIndex(d, vector_tables::kAtanHigh, index);
    const V al = hn::GatherIndex(d, vector_tables::kAtanLow, index);
    const V c = i * C(1.0 / 64.0);
    // q - c is exact (c is a multiple of 1/64 within 1/128 of q); 1 + q c is
    // kept as a pair.
    V nh, nl;
    TwoSum(qh - c, ql, nh, nl);
    const V p = qh * c;
    V dh, dl;
    FastTwoSum(C(1.0), p, dh, dl);
    dl = dl + (ProductError(qh, c, p) + ql * c);
    V uh, ul;
    DivideDD(nh, nl, dh, dl, uh, ul);
    const V z = uh * uh;
    V poly = C(1.0 / 9.0);
    poly = hn::MulAdd(poly, z, C(-1.0 / 7.0));
    poly = hn::MulAdd(poly, z, C(1.0 / 5.0));
    poly = hn::MulAdd(poly, z, C(-1.0 / 3.0));
    V e;
    FastTwoSum(ah, uh, sh, e);
    sl = e + (al + (ul + uh * z * poly));
    FastTwoSum(sh, sl, sh, sl);
}

constexpr double kHalfPiHi = 1.5707963267948966;    // pi/2 rounded
constexpr double kHalfPiLo = 6.123233995736766e-17; // and the remainder
constexpr double kPiHi = 3.141592653589793;
constexpr double kPiLo = 1.2246467991473532e-16;

// (h + l) - (sh + sl) as a normalised pair.
HWY_INLINE void SubtractDD(V h, V l, V& sh, V& sl) {
    V s, e;
    TwoSum(h, hn::Neg(sh), s, e);
    FastTwoSum(s, e + (l - sl), sh, sl);
}

// atan of (nh + nl) / (dh + dl) for a non-negative numerator and
// denominator, as a pair in [0, pi/2]: the smaller over the larger, folded.
HWY_INLINE void AtanOfQuotient(V nh, V nl, V dh, V dl, V& sh, V& sl) {
    const M swap = hn::Gt(nh, dh);
    V qh, ql;
    DivideDD(hn::IfThenElse(swap, dh, nh), hn::IfThenElse(swap, dl, nl), hn::IfThenElse(swap, nh, dh),
             hn::IfThenElse(swap, nl, dl), qh, ql);
    AtanReduced(qh, ql, sh, sl);
    V fh = sh, fl = sl;
    SubtractDD(C(kHalfPiHi), C(kHalfPiLo), fh, fl);
    sh = hn::IfThenElse(swap, fh, sh);
    sl = hn::IfThenElse(swap, fl, sl);
}

// atan2(y, x), folded into its quadrant. (0, 0) gives NaN, which the callers'
// finiteness tests send to the scalar path.
HWY_INLINE V Atan2(V y, V x) {
    const D d;
    V sh, sl;
    AtanOfQuotient(hn::Abs(y), hn::Zero(d), hn::Abs(x), hn::Zero(d), sh, sl);
    V fh = sh, fl = sl;
    SubtractDD(C(kPiHi), C(kPiLo), fh, fl);
    const M west = hn::Lt(x, hn::Zero(d));
    return hn::CopySign(hn::IfThenElse(west, fh + fl, sh + sl), y);
}

// atan(x); beyond 1 as pi/2 - atan(1/x), the reciprocal kept as a pair.
HWY_INLINE V Atan(V x) {
    const D d;
    const V ax = hn::Abs(x);
    const M big = hn::Gt(ax, C(1.0));
    const V reciprocal = C(1.0) / ax;
    const V p = reciprocal * ax;
    // 1 - p is exact; an infinite x leaves NaN here, and its answer is pi/2.
    const V remainder = ((C(1.0) - p) - ProductError(reciprocal, ax, p)) * reciprocal;
    V sh, sl;
    AtanReduced(hn::IfThenElse(big, reciprocal, ax), hn::IfThenElseZero(big, remainder), sh, sl);
    V fh = sh, fl = sl;
    SubtractDD(C(kHalfPiHi), C(kHalfPiLo), fh, fl);
    const V r = hn::IfThenElse(big, hn::IfThenElse(Finite(ax), fh + fl, C(kHalfPiHi)), sh + sl);
    return hn::CopySign(r, x);
}

// asin(v) = atan(v / sqrt(1 - v^2)) for |v| <= 1, the root of the pair
// 1 - v^2 (exact) corrected by one Newton step; beyond, NaN.
HWY_INLINE V Asin(V v) {
    const D d;
    const V av = hn::Abs(v);
    const V p = av * av;
    V wh, wl;
    TwoSum(C(1.0), hn::Neg(p), wh, wl);
    wl = wl - ProductError(av, av, p);
    const V rh = hn::Sqrt(wh);
    const V square = rh * rh;
    const V rl = hn::IfThenElseZero(hn::Gt(rh, hn::Zero(d)),
                                    ((wh - square) - ProductError(rh, rh, square) + wl) / (C(2.0) * rh));
    V sh, sl;
    AtanOfQuotient(av, hn::Zero(d), rh, rl, sh, sl);
    return hn::CopySign(sh + sl, v);
}

// exp(x) for |x| < 708 (NaN beyond, and for NaN): x = (64 m + j) ln2/64 + r
// with |r| <= ln2/128, the reduction by Cody and Waite's two-part constant
// (its leading part has 36 bits, so that n times it is exact), 2^(j/64) from
// the table as a pair, and exp r - 1 by its Taylor series to r^6, whose
// omitted terms are below 2^-64.
constexpr double kExpRange = 708.0;
HWY_INLINE V Exp(V x) {
    const D d;
    const hn::RebindToSigned<D> di;
    const M inRange = hn::Lt(hn::Abs(x), C(kExpRange));
    const V xs = hn::IfThenElseZero(inRange, x);
    const V n = hn::Round(xs * C(92.33248261689366)); // 64 / ln 2
    const V r0 = hn::NegMulAdd(n, C(0x1.62e42fefa0000p-7), xs);
    const V t = n * C(0x1.cf79abc9e3b3ap-46);
    const V rh = r0 - t;
    const V rl = (r0 - rh) - t;
    const V m = hn::Floor(n * C(1.0 / 64.0));
    const auto j = hn::ConvertTo(di, n - C(64.0) * m);
    const V th = hn::GatherIndex(d, vector_tables::kExp2High, j);
    const V tl = hn::GatherIndex(d, vector_tables::kExp2Low, j);
    V q = C(1.0 / 720.0);
    q = hn::MulAdd(q, rh, C(1.0 / 120.0));
    q = hn::MulAdd(q, rh, C(1.0 / 24.0));
    q = hn::MulAdd(q, rh, C(1.0 / 6.0));
    q = hn::MulAdd(q, rh, C(0.5));
    // 2^(j/64) (1 + r + r^2 q): the product of the table's leading part and
    // r exact, so that only the final addition rounds at the result's scale.
    const V ph = th * rh;
    const V pl = ProductError(th, rh, ph) + th * (rl + rh * rh * q) + tl * (C(1.0) + rh);
    V sh, sl;
    FastTwoSum(th, ph, sh, sl);
    const V mantissa = sh + (sl + pl);
    const auto scaled = hn::BitCast(di, mantissa) + hn::ShiftLeft<52>(hn::ConvertTo(di, m));
    return hn::IfThenElse(inRange, hn::BitCast(d, scaled), C(std::numeric_limits<double>::quiet_NaN()));
}

// log(x) for positive normal x (NaN or garbage elsewhere, which the callers'
// tests refuse): x = 2^k z with z in [0.6875, 1.375), z = c (1 + r) with
// r = z/c - 1 formed exactly as a pair from the tabulated 1/c, so that
// log x = k ln 2 - log(1/c) + log(1 + r), |r| < 2^-7, the last by its Taylor
// series to r^9 (omitted terms below 2^-63 of r). The leading parts are
// summed exactly and the rest added once.
HWY_INLINE V Log(V x) {
    const D d;
    const hn::RebindToSigned<D> di;
    const auto bits = hn::BitCast(di, x);
    const auto shifted = bits - hn::Set(di, int64_t{0x3fe6000000000000});
    const auto index = hn::And(hn::ShiftRight<45>(shifted), hn::Set(di, int64_t{127}));
    const V k = hn::ConvertTo(d, hn::ShiftRight<52>(shifted));
    const V z =
        hn::BitCast(d, bits - hn::And(shifted, hn::Set(di, static_cast<int64_t>(0xfff0000000000000ull))));
    const V invC = hn::GatherIndex(d, vector_tables::kLogInverseC, index);
    const V logCHigh = hn::GatherIndex(d, vector_tables::kLogCHigh, index);
    const V logCLow = hn::GatherIndex(d, vector_tables::kLogCLow, index);
    const V p = z * invC;
    V rh, rl;
    TwoSum(p - C(1.0), ProductError(z, invC, p), rh, rl); // p - 1 is exact
    // ln 2 in two parts, the first with 42 bits so that k times it is exact.
    V s1, e1, s2, e2;
    TwoSum(k * C(0x1.62e42fefa3800p-1), logCHigh, s1, e1);
    TwoSum(s1, rh, s2, e2);
    // -r^2/2 joins the exact sum too: near 1, where r is the result, its
    // rounding would be 2^-8 of a last place.
    const V square = rh * rh;
    V s3, e3;
    TwoSum(s2, C(-0.5) * square, s3, e3);
    V poly = C(1.0 / 9.0);
    poly = hn::MulAdd(poly, rh, C(-1.0 / 8.0));
    poly = hn::MulAdd(poly, rh, C(1.0 / 7.0));
    poly = hn::MulAdd(poly, rh, C(-1.0 / 6.0));
    poly = hn::MulAdd(poly, rh, C(1.0 / 5.0));
    poly = hn::MulAdd(poly, rh, C(-1.0 / 4.0));
    poly = hn::MulAdd(poly, rh, C(1.0 / 3.0));
    const V tail = ((e1 + e2) + e3) + hn::MulAdd(k, C(0x1.ef35793c76730p-45), logCLow) +
                   hn::MulAdd(square * rh, poly, (rl - rl * rh) - C(0.5) * ProductError(rh, rh, square));
    return s3 + tail;
}

} // namespace HWY_NAMESPACE
} // namespace zrpj
HWY_AFTER_NAMESPACE();

#endif
