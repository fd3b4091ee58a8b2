/*
 * glide.h - the Glide 2.1.1 programming interface of Fragdock's software renderer.
 *
 * One device, no handles: every call works on the library's own state. Drawing goes
 * into a 1024 x 1024 RGB 565 colour buffer and a 16-bit depth buffer held in memory;
 * grBufferSwap presents the visible part into the application's active window.
 * The header compiles as C and as C++.
 */
#ifndef FRAGDOCK_GLIDE_H
#define FRAGDOCK_GLIDE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Calling convention: stdcall only where the original interface used it. */
#if defined(_WIN32) && !defined(_WIN64)
#define FX_CALL __stdcall
#else
#define FX_CALL
#endif

#if defined(__GNUC__)
#define FX_ENTRY extern __attribute__((visibility("default")))
#else
#define FX_ENTRY extern
#endif

/* ---- basic types ---------------------------------------------------------------- */

typedef uint8_t FxU8;
typedef int8_t FxI8;
typedef uint16_t FxU16;
typedef int16_t FxI16;
typedef uint32_t FxU32;
typedef int32_t FxI32;
typedef int FxBool;
typedef float FxFloat;

#define FXTRUE 1
#define FXFALSE 0

typedef FxU32 GrColor_t;
typedef FxU8 GrAlpha_t;
typedef FxI32 GrChipID_t;
typedef FxI32 GrLOD_t;
typedef FxI32 GrAspectRatio_t;
typedef FxI32 GrTextureFormat_t;
typedef FxI32 GrCullMode_t;
typedef FxI32 GrScreenResolution_t;
typedef FxI32 GrScreenRefresh_t;
typedef FxI32 GrColorFormat_t;
typedef FxI32 GrOriginLocation_t;
typedef FxI32 GrSmoothingMode_t;
typedef FxI32 GrLfbWriteMode_t;
typedef FxI32 GrLfbBypassMode_t;
typedef FxI32 GrLock_t;
typedef FxI32 GrBuffer_t;
typedef FxI32 GrPassthruMode_t;
typedef FxI32 GrAlphaBlendFnc_t;
typedef FxI32 GrCmpFnc_t;
typedef FxI32 GrDepthBufferMode_t;
typedef FxI32 GrCombineFunction_t;
typedef FxI32 GrCombineFactor_t;
typedef FxI32 GrCombineLocal_t;
typedef FxI32 GrCombineOther_t;
typedef FxI32 GrAlphaSource_t;
typedef FxI32 GrColorCombineFnc_t;
typedef FxI32 GrChromakeyMode_t;
typedef FxI32 GrFogMode_t;
typedef FxU8 GrFog_t;
typedef FxI32 GrTexTable_t;
typedef FxI32 GrTextureClampMode_t;
typedef FxI32 GrTextureFilterMode_t;
typedef FxI32 GrMipMapMode_t;
typedef FxI32 GrTextureCombineFnc_t;
typedef FxI32 GrSstType;
typedef FxI32 GrMipMapId_t;

/* ---- constants ------------------------------------------------------------------ */

/* Level of detail: the side length of a texture level, 256 down to 1 texel. */
#define GR_LOD_256 0
#define GR_LOD_128 1
#define GR_LOD_64 2
#define GR_LOD_32 3
#define GR_LOD_16 4
#define GR_LOD_8 5
#define GR_LOD_4 6
#define GR_LOD_2 7
#define GR_LOD_1 8

#define GR_ASPECT_8x1 0
#define GR_ASPECT_4x1 1
#define GR_ASPECT_2x1 2
#define GR_ASPECT_1x1 3
#define GR_ASPECT_1x2 4
#define GR_ASPECT_1x4 5
#define GR_ASPECT_1x8 6

#define GR_TEXFMT_RGB_332 0
#define GR_TEXFMT_YIQ_422 1
#define GR_TEXFMT_ALPHA_8 2
#define GR_TEXFMT_INTENSITY_8 3
#define GR_TEXFMT_ALPHA_INTENSITY_44 4
#define GR_TEXFMT_P_8 5
#define GR_TEXFMT_RSVD0 6
#define GR_TEXFMT_RSVD1 7
#define GR_TEXFMT_ARGB_8332 8
#define GR_TEXFMT_AYIQ_8422 9
#define GR_TEXFMT_RGB_565 10
#define GR_TEXFMT_ARGB_1555 11
#define GR_TEXFMT_ARGB_4444 12
#define GR_TEXFMT_ALPHA_INTENSITY_88 13
#define GR_TEXFMT_AP_88 14
#define GR_TEXFMT_RSVD2 15

#define GR_TMU0 0
#define GR_TMU1 1
#define GR_TMU2 2

#define GR_MIPMAPLEVELMASK_EVEN 1
#define GR_MIPMAPLEVELMASK_ODD 2
#define GR_MIPMAPLEVELMASK_BOTH 3

#define GR_TEXTABLE_NCC0 0
#define GR_TEXTABLE_NCC1 1
#define GR_TEXTABLE_PALETTE 2

#define GR_CULL_DISABLE 0
#define GR_CULL_NEGATIVE 1
#define GR_CULL_POSITIVE 2

#define GR_RESOLUTION_320x200 0
#define GR_RESOLUTION_320x240 1
#define GR_RESOLUTION_400x256 2
#define GR_RESOLUTION_512x384 3
#define GR_RESOLUTION_640x200 4
#define GR_RESOLUTION_640x350 5
#define GR_RESOLUTION_640x400 6
#define GR_RESOLUTION_640x480 7
#define GR_RESOLUTION_800x600 8
#define GR_RESOLUTION_960x720 9
#define GR_RESOLUTION_856x480 10
#define GR_RESOLUTION_512x256 11
#define GR_RESOLUTION_NONE 0xFF

#define GR_REFRESH_60Hz 0
#define GR_REFRESH_70Hz 1
#define GR_REFRESH_72Hz 2
#define GR_REFRESH_75Hz 3
#define GR_REFRESH_80Hz 4
#define GR_REFRESH_90Hz 5
#define GR_REFRESH_100Hz 6
#define GR_REFRESH_85Hz 7
#define GR_REFRESH_120Hz 8
#define GR_REFRESH_NONE 0xFF

#define GR_COLORFORMAT_ARGB 0
#define GR_COLORFORMAT_ABGR 1
#define GR_COLORFORMAT_RGBA 2
#define GR_COLORFORMAT_BGRA 3

#define GR_ORIGIN_UPPER_LEFT 0
#define GR_ORIGIN_LOWER_LEFT 1
#define GR_ORIGIN_ANY 0xFF

#define GR_SMOOTHING_DISABLE 0
#define GR_SMOOTHING_ENABLE 1

#define GR_PASSTHRU_SHOW_VGA 0
#define GR_PASSTHRU_SHOW_SST1 1

#define GR_SSTTYPE_VOODOO 0
#define GR_SSTTYPE_SST96 1
#define GR_SSTTYPE_AT3D 2
#define GR_SSTTYPE_Voodoo2 3

#define GR_BUFFER_FRONTBUFFER 0
#define GR_BUFFER_BACKBUFFER 1
#define GR_BUFFER_AUXBUFFER 2
#define GR_BUFFER_DEPTHBUFFER 3
#define GR_BUFFER_ALPHABUFFER 4
#define GR_BUFFER_TRIPLEBUFFER 5

#define GR_LFB_READ_ONLY 0
#define GR_LFB_WRITE_ONLY 1
#define GR_LFB_IDLE 0
#define GR_LFB_NOIDLE 0x10

#define GR_LFBBYPASS_DISABLE 0
#define GR_LFBBYPASS_ENABLE 1

#define GR_LFBWRITEMODE_565 0
#define GR_LFBWRITEMODE_555 1
#define GR_LFBWRITEMODE_1555 2
#define GR_LFBWRITEMODE_RESERVED1 3
#define GR_LFBWRITEMODE_888 4
#define GR_LFBWRITEMODE_8888 5
#define GR_LFBWRITEMODE_565_DEPTH 0xC
#define GR_LFBWRITEMODE_555_DEPTH 0xD
#define GR_LFBWRITEMODE_1555_DEPTH 0xE
#define GR_LFBWRITEMODE_ZA16 0xF
#define GR_LFBWRITEMODE_ANY 0xFF

#define GR_BLEND_ZERO 0
#define GR_BLEND_SRC_ALPHA 1
#define GR_BLEND_SRC_COLOR 2
#define GR_BLEND_DST_COLOR GR_BLEND_SRC_COLOR
#define GR_BLEND_DST_ALPHA 3
#define GR_BLEND_ONE 4
#define GR_BLEND_ONE_MINUS_SRC_ALPHA 5
#define GR_BLEND_ONE_MINUS_SRC_COLOR 6
#define GR_BLEND_ONE_MINUS_DST_COLOR GR_BLEND_ONE_MINUS_SRC_COLOR
#define GR_BLEND_ONE_MINUS_DST_ALPHA 7
#define GR_BLEND_ALPHA_SATURATE 0xF
#define GR_BLEND_PREFOG_COLOR GR_BLEND_ALPHA_SATURATE

#define GR_CMP_NEVER 0
#define GR_CMP_LESS 1
#define GR_CMP_EQUAL 2
#define GR_CMP_LEQUAL 3
#define GR_CMP_GREATER 4
#define GR_CMP_NOTEQUAL 5
#define GR_CMP_GEQUAL 6
#define GR_CMP_ALWAYS 7

#define GR_DEPTHBUFFER_DISABLE 0
#define GR_DEPTHBUFFER_ZBUFFER 1
#define GR_DEPTHBUFFER_WBUFFER 2
#define GR_DEPTHBUFFER_ZBUFFER_COMPARE_TO_BIAS 3
#define GR_DEPTHBUFFER_WBUFFER_COMPARE_TO_BIAS 4

#define GR_COMBINE_FUNCTION_ZERO 0
#define GR_COMBINE_FUNCTION_NONE GR_COMBINE_FUNCTION_ZERO
#define GR_COMBINE_FUNCTION_LOCAL 1
#define GR_COMBINE_FUNCTION_LOCAL_ALPHA 2
#define GR_COMBINE_FUNCTION_SCALE_OTHER 3
#define GR_COMBINE_FUNCTION_BLEND_OTHER GR_COMBINE_FUNCTION_SCALE_OTHER
#define GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL 4
#define GR_COMBINE_FUNCTION_SCALE_OTHER_ADD_LOCAL_ALPHA 5
#define GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL 6
#define GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL_ADD_LOCAL 7
#define GR_COMBINE_FUNCTION_BLEND GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL_ADD_LOCAL
#define GR_COMBINE_FUNCTION_SCALE_OTHER_MINUS_LOCAL_ADD_LOCAL_ALPHA 8
#define GR_COMBINE_FUNCTION_SCALE_MINUS_LOCAL_ADD_LOCAL 9
#define GR_COMBINE_FUNCTION_BLEND_LOCAL GR_COMBINE_FUNCTION_SCALE_MINUS_LOCAL_ADD_LOCAL
#define GR_COMBINE_FUNCTION_SCALE_MINUS_LOCAL_ADD_LOCAL_ALPHA 0x10

#define GR_COMBINE_FACTOR_ZERO 0
#define GR_COMBINE_FACTOR_NONE GR_COMBINE_FACTOR_ZERO
#define GR_COMBINE_FACTOR_LOCAL 1
#define GR_COMBINE_FACTOR_OTHER_ALPHA 2
#define GR_COMBINE_FACTOR_LOCAL_ALPHA 3
#define GR_COMBINE_FACTOR_TEXTURE_ALPHA 4
#define GR_COMBINE_FACTOR_DETAIL_FACTOR GR_COMBINE_FACTOR_TEXTURE_ALPHA
#define GR_COMBINE_FACTOR_LOD_FRACTION 5
#define GR_COMBINE_FACTOR_ONE 8
#define GR_COMBINE_FACTOR_ONE_MINUS_LOCAL 9
#define GR_COMBINE_FACTOR_ONE_MINUS_OTHER_ALPHA 0xA
#define GR_COMBINE_FACTOR_ONE_MINUS_LOCAL_ALPHA 0xB
#define GR_COMBINE_FACTOR_ONE_MINUS_TEXTURE_ALPHA 0xC
#define GR_COMBINE_FACTOR_ONE_MINUS_DETAIL_FACTOR GR_COMBINE_FACTOR_ONE_MINUS_TEXTURE_ALPHA
#define GR_COMBINE_FACTOR_ONE_MINUS_LOD_FRACTION 0xD

#define GR_COMBINE_LOCAL_ITERATED 0
#define GR_COMBINE_LOCAL_CONSTANT 1
#define GR_COMBINE_LOCAL_NONE GR_COMBINE_LOCAL_CONSTANT
#define GR_COMBINE_LOCAL_DEPTH 2

#define GR_COMBINE_OTHER_ITERATED 0
#define GR_COMBINE_OTHER_TEXTURE 1
#define GR_COMBINE_OTHER_CONSTANT 2
#define GR_COMBINE_OTHER_NONE GR_COMBINE_OTHER_CONSTANT

#define GR_ALPHASOURCE_CC_ALPHA 0
#define GR_ALPHASOURCE_ITERATED_ALPHA 1
#define GR_ALPHASOURCE_TEXTURE_ALPHA 2
#define GR_ALPHASOURCE_TEXTURE_ALPHA_TIMES_ITERATED_ALPHA 3

#define GR_COLORCOMBINE_ZERO 0
#define GR_COLORCOMBINE_CCRGB 1
#define GR_COLORCOMBINE_ITRGB 2
#define GR_COLORCOMBINE_ITRGB_DELTA0 3
#define GR_COLORCOMBINE_DECAL_TEXTURE 4
#define GR_COLORCOMBINE_TEXTURE_TIMES_CCRGB 5
#define GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB 6
#define GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB_DELTA0 7
#define GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB_ADD_ALPHA 8
#define GR_COLORCOMBINE_TEXTURE_TIMES_ALPHA 9
#define GR_COLORCOMBINE_TEXTURE_TIMES_ALPHA_ADD_ITRGB 10
#define GR_COLORCOMBINE_TEXTURE_ADD_ITRGB 11
#define GR_COLORCOMBINE_TEXTURE_SUB_ITRGB 12
#define GR_COLORCOMBINE_CCRGB_BLEND_ITRGB_ON_TEXALPHA 13
#define GR_COLORCOMBINE_DIFF_SPEC_A 14
#define GR_COLORCOMBINE_DIFF_SPEC_B 15
#define GR_COLORCOMBINE_ONE 16

#define GR_CHROMAKEY_DISABLE 0
#define GR_CHROMAKEY_ENABLE 1

#define GR_FOG_DISABLE 0
#define GR_FOG_WITH_ITERATED_ALPHA 1
#define GR_FOG_WITH_TABLE 2
#define GR_FOG_WITH_ITERATED_Z 3
#define GR_FOG_MULT2 0x100
#define GR_FOG_ADD2 0x200
#define GR_FOG_TABLE_SIZE 64

#define GR_TEXTURECLAMP_WRAP 0
#define GR_TEXTURECLAMP_CLAMP 1

#define GR_TEXTUREFILTER_POINT_SAMPLED 0
#define GR_TEXTUREFILTER_BILINEAR 1

#define GR_MIPMAP_DISABLE 0
#define GR_MIPMAP_NEAREST 1
#define GR_MIPMAP_NEAREST_DITHER 2

#define GR_TEXTURECOMBINE_ZERO 0
#define GR_TEXTURECOMBINE_DECAL 1
#define GR_TEXTURECOMBINE_OTHER 2
#define GR_TEXTURECOMBINE_ADD 3
#define GR_TEXTURECOMBINE_MULTIPLY 4
#define GR_TEXTURECOMBINE_SUBTRACT 5
#define GR_TEXTURECOMBINE_DETAIL 6
#define GR_TEXTURECOMBINE_DETAIL_OTHER 7
#define GR_TEXTURECOMBINE_TRILINEAR_ODD 8
#define GR_TEXTURECOMBINE_TRILINEAR_EVEN 9
#define GR_TEXTURECOMBINE_ONE 10

#define GR_NULL_MIPMAP_HANDLE ((GrMipMapId_t)-1)

/* ---- structures ----------------------------------------------------------------- */

/* Per-texture-unit part of a vertex: s/w, t/w and 1/w. */
typedef struct {
  float sow;
  float tow;
  float oow;
} GrTmuVertex;

/* 15 floats, 60 bytes: the stride of vertex arrays. */
typedef struct {
  float x, y, z;
  float r, g, b;
  float ooz;
  float a;
  float oow;
  GrTmuVertex tmuvtx[2];
} GrVertex;

typedef struct {
  GrLOD_t smallLod;
  GrLOD_t largeLod;
  GrAspectRatio_t aspectRatio;
  GrTextureFormat_t format;
  void *data;
} GrTexInfo;

#define GLIDE_NUM_TMU 3
#define GR_MAX_NUM_SST 4

typedef struct {
  int tmuRev;
  int tmuRam;
} GrTMUConfig_t;

typedef struct {
  int fbRam;
  int fbiRev;
  int nTexelfx;
  FxBool sliDetect;
  GrTMUConfig_t tmuConfig[GLIDE_NUM_TMU];
} GrVoodooConfig_t;

typedef struct {
  int num_sst;
  struct {
    GrSstType type;
    union {
      GrVoodooConfig_t VoodooConfig;
    } sstBoard;
  } SSTs[GR_MAX_NUM_SST];
} GrHwConfiguration;

typedef struct {
  int size;
  void *lfbPtr;
  FxU32 strideInBytes;
  GrLfbWriteMode_t writeMode;
  GrOriginLocation_t origin;
} GrLfbInfo_t;

typedef struct {
  FxU32 pixelsIn;
  FxU32 chromaFail;
  FxU32 zFuncFail;
  FxU32 aFuncFail;
  FxU32 pixelsOut;
} GrSstPerfStats_t;

/* Saved device state; this implementation neither reads nor writes it. */
typedef struct {
  FxU32 pad[64];
} GrState;

/* ---- the 81 entry points -------------------------------------------------------- */

/* Library and board */
FX_ENTRY void FX_CALL grGlideInit(void);
FX_ENTRY void FX_CALL grGlideShutdown(void);
FX_ENTRY void FX_CALL grGlideGetVersion(char version[80]);
FX_ENTRY void FX_CALL grGlideGetState(GrState *state);
FX_ENTRY void FX_CALL grGlideSetState(const GrState *state);
FX_ENTRY FxBool FX_CALL grSstQueryHardware(GrHwConfiguration *hwconfig);
FX_ENTRY FxBool FX_CALL grSstQueryBoards(GrHwConfiguration *hwconfig);
FX_ENTRY void FX_CALL grSstSelect(int which_sst);
FX_ENTRY FxBool FX_CALL grSstOpen(GrScreenResolution_t resolution, GrScreenRefresh_t refresh,
                                  GrColorFormat_t color_format, GrOriginLocation_t origin,
                                  GrSmoothingMode_t smoothing, int num_buffers);
FX_ENTRY void FX_CALL grSstWinClose(void);
FX_ENTRY FxU32 FX_CALL grSstScreenWidth(void);
FX_ENTRY FxU32 FX_CALL grSstScreenHeight(void);
FX_ENTRY FxBool FX_CALL grSstControl(FxU32 code);
FX_ENTRY FxU32 FX_CALL grSstStatus(void);
FX_ENTRY void FX_CALL grSstIdle(void);
FX_ENTRY void FX_CALL grSstPassthruMode(GrPassthruMode_t mode);
FX_ENTRY void FX_CALL grSstOrigin(GrOriginLocation_t origin);
FX_ENTRY void FX_CALL grSstPerfStats(GrSstPerfStats_t *stats);
FX_ENTRY void FX_CALL grSstResetPerfStats(void);

/* Buffers and presenting */
FX_ENTRY void FX_CALL grBufferClear(GrColor_t color, GrAlpha_t alpha, FxU16 depth);
FX_ENTRY void FX_CALL grBufferSwap(int swap_interval);
FX_ENTRY int FX_CALL grBufferNumPending(void);
FX_ENTRY void FX_CALL grRenderBuffer(GrBuffer_t buffer);
FX_ENTRY void FX_CALL grClipWindow(FxU32 minx, FxU32 miny, FxU32 maxx, FxU32 maxy);
FX_ENTRY void FX_CALL grColorMask(FxBool rgb, FxBool alpha);
FX_ENTRY void FX_CALL grConstantColorValue(GrColor_t value);
FX_ENTRY void FX_CALL grConstantColorValue4(float a, float r, float g, float b);
FX_ENTRY void FX_CALL grAlphaBlendFunction(GrAlphaBlendFnc_t rgb_sf, GrAlphaBlendFnc_t rgb_df,
                                           GrAlphaBlendFnc_t alpha_sf, GrAlphaBlendFnc_t alpha_df);

/* Linear frame buffer */
FX_ENTRY void FX_CALL grLfbConstantAlpha(GrAlpha_t alpha);
FX_ENTRY void FX_CALL grLfbWriteMode(GrLfbWriteMode_t mode);
FX_ENTRY FxBool FX_CALL grLfbLock(GrLock_t type, GrBuffer_t buffer, GrLfbWriteMode_t write_mode,
                                  GrOriginLocation_t origin, FxBool pixel_pipeline,
                                  GrLfbInfo_t *info);
FX_ENTRY FxBool FX_CALL grLfbUnlock(GrLock_t type, GrBuffer_t buffer);
FX_ENTRY void FX_CALL grLfbBegin(void);
FX_ENTRY void FX_CALL grLfbEnd(void);
FX_ENTRY const void *FX_CALL grLfbGetReadPtr(GrBuffer_t buffer);
FX_ENTRY void *FX_CALL grLfbGetWritePtr(GrBuffer_t buffer);
FX_ENTRY void FX_CALL grLfbBypassMode(GrLfbBypassMode_t mode);
FX_ENTRY FxBool FX_CALL guFbReadRegion(int src_x, int src_y, int w, int h, void *dst,
                                       int stride_in_bytes);
FX_ENTRY FxBool FX_CALL guFbWriteRegion(int dst_x, int dst_y, int w, int h, const void *src,
                                        int stride_in_bytes);

/* Drawing */
FX_ENTRY void FX_CALL grDrawTriangle(const GrVertex *a, const GrVertex *b, const GrVertex *c);
FX_ENTRY void FX_CALL grDrawPlanarPolygon(int nverts, const int ilist[], const GrVertex vlist[]);
FX_ENTRY void FX_CALL grDrawPlanarPolygonVertexList(int nverts, const GrVertex vlist[]);
FX_ENTRY void FX_CALL guDrawTriangleWithClip(const GrVertex *a, const GrVertex *b,
                                             const GrVertex *c);
FX_ENTRY void FX_CALL grDrawLine(const GrVertex *a, const GrVertex *b);
FX_ENTRY void FX_CALL grDrawPoint(const GrVertex *p);
FX_ENTRY void FX_CALL grCullMode(GrCullMode_t mode);

/* Depth, colour and alpha pipeline settings (accepted, without effect) */
FX_ENTRY void FX_CALL grDepthBufferMode(GrDepthBufferMode_t mode);
FX_ENTRY void FX_CALL grDepthBufferFunction(GrCmpFnc_t function);
FX_ENTRY void FX_CALL grDepthMask(FxBool enable);
FX_ENTRY void FX_CALL grDepthBiasLevel(FxI16 level);
FX_ENTRY void FX_CALL grAlphaCombine(GrCombineFunction_t function, GrCombineFactor_t factor,
                                     GrCombineLocal_t local, GrCombineOther_t other,
                                     FxBool invert);
FX_ENTRY void FX_CALL grAlphaControlsITRGBLighting(FxBool enable);
FX_ENTRY void FX_CALL grAlphaTestFunction(GrCmpFnc_t function);
FX_ENTRY void FX_CALL grAlphaTestReferenceValue(GrAlpha_t value);
FX_ENTRY void FX_CALL guAlphaSource(GrAlphaSource_t mode);
FX_ENTRY void FX_CALL grColorCombine(GrCombineFunction_t function, GrCombineFactor_t factor,
                                     GrCombineLocal_t local, GrCombineOther_t other,
                                     FxBool invert);
FX_ENTRY void FX_CALL guColorCombineFunction(GrColorCombineFnc_t function);
FX_ENTRY void FX_CALL grChromakeyMode(GrChromakeyMode_t mode);
FX_ENTRY void FX_CALL grChromakeyValue(GrColor_t value);
FX_ENTRY void FX_CALL grGammaCorrectionValue(float value);
FX_ENTRY void FX_CALL grFogMode(GrFogMode_t mode);
FX_ENTRY void FX_CALL grFogColorValue(GrColor_t color);
FX_ENTRY void FX_CALL grFogTable(const GrFog_t table[GR_FOG_TABLE_SIZE]);
FX_ENTRY void FX_CALL guFogGenerateExp(GrFog_t table[GR_FOG_TABLE_SIZE], float density);
FX_ENTRY void FX_CALL guFogGenerateExp2(GrFog_t table[GR_FOG_TABLE_SIZE], float density);

/* Texture memory */
FX_ENTRY void FX_CALL grTexSource(GrChipID_t tmu, FxU32 start_address, FxU32 even_odd,
                                  GrTexInfo *info);
FX_ENTRY void FX_CALL grTexDownloadMipMap(GrChipID_t tmu, FxU32 start_address, FxU32 even_odd,
                                          GrTexInfo *info);
FX_ENTRY void FX_CALL grTexDownloadTable(GrChipID_t tmu, GrTexTable_t type, void *data);
FX_ENTRY FxU32 FX_CALL grTexCalcMemRequired(GrLOD_t small_lod, GrLOD_t large_lod,
                                            GrAspectRatio_t aspect, GrTextureFormat_t format);
FX_ENTRY FxU32 FX_CALL grTexTextureMemRequired(FxU32 even_odd, GrTexInfo *info);
FX_ENTRY FxU32 FX_CALL grTexMinAddress(GrChipID_t tmu);
FX_ENTRY FxU32 FX_CALL grTexMaxAddress(GrChipID_t tmu);
FX_ENTRY void FX_CALL grTexCombine(GrChipID_t tmu, GrCombineFunction_t rgb_function,
                                   GrCombineFactor_t rgb_factor,
                                   GrCombineFunction_t alpha_function,
                                   GrCombineFactor_t alpha_factor, FxBool rgb_invert,
                                   FxBool alpha_invert);
FX_ENTRY void FX_CALL grTexCombineFunction(GrChipID_t tmu, GrTextureCombineFnc_t function);
FX_ENTRY void FX_CALL grTexClampMode(GrChipID_t tmu, GrTextureClampMode_t s_mode,
                                     GrTextureClampMode_t t_mode);
FX_ENTRY void FX_CALL grTexFilterMode(GrChipID_t tmu, GrTextureFilterMode_t min_filter,
                                      GrTextureFilterMode_t mag_filter);
FX_ENTRY void FX_CALL grTexMipMapMode(GrChipID_t tmu, GrMipMapMode_t mode, FxBool lod_blend);
FX_ENTRY GrMipMapId_t FX_CALL guTexAllocateMemory(
    GrChipID_t tmu, FxU8 even_odd_mask, int width, int height, GrTextureFormat_t format,
    GrMipMapMode_t mipmap_mode, GrLOD_t small_lod, GrLOD_t large_lod, GrAspectRatio_t aspect,
    GrTextureClampMode_t s_clamp, GrTextureClampMode_t t_clamp,
    GrTextureFilterMode_t min_filter, GrTextureFilterMode_t mag_filter, float lod_bias,
    FxBool trilinear);
FX_ENTRY void FX_CALL guTexDownloadMipMap(GrMipMapId_t id, const void *src,
                                          const void *ncc_table);
FX_ENTRY void FX_CALL guTexMemReset(void);
FX_ENTRY void FX_CALL guTexSource(GrMipMapId_t id);

#ifdef __cplusplus
}
#endif

#endif /* FRAGDOCK_GLIDE_H */
