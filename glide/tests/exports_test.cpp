// The library's export table holds exactly the 81 entry points of the interface.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

namespace {

const std::set<std::string> kEntryPoints = {
    "grAlphaBlendFunction", "grAlphaCombine", "grAlphaControlsITRGBLighting",
    "grAlphaTestFunction", "grAlphaTestReferenceValue", "grBufferClear", "grBufferNumPending",
    "grBufferSwap", "grChromakeyMode", "grChromakeyValue", "grClipWindow", "grColorCombine",
    "grColorMask", "grConstantColorValue", "grConstantColorValue4", "grCullMode",
    "grDepthBiasLevel", "grDepthBufferFunction", "grDepthBufferMode", "grDepthMask",
    "grDrawLine", "grDrawPlanarPolygon", "grDrawPlanarPolygonVertexList", "grDrawPoint",
    "grDrawTriangle", "grFogColorValue", "grFogMode", "grFogTable", "grGammaCorrectionValue",
    "grGlideGetState", "grGlideGetVersion", "grGlideInit", "grGlideSetState",
    "grGlideShutdown", "grLfbBegin", "grLfbBypassMode", "grLfbConstantAlpha", "grLfbEnd",
    "grLfbGetReadPtr", "grLfbGetWritePtr", "grLfbLock", "grLfbUnlock", "grLfbWriteMode",
    "grRenderBuffer", "grSstControl", "grSstIdle", "grSstOpen", "grSstOrigin",
    "grSstPassthruMode", "grSstPerfStats", "grSstQueryBoards", "grSstQueryHardware",
    "grSstResetPerfStats", "grSstScreenHeight", "grSstScreenWidth", "grSstSelect",
    "grSstStatus", "grSstWinClose", "grTexCalcMemRequired", "grTexClampMode", "grTexCombine",
    "grTexCombineFunction", "grTexDownloadMipMap", "grTexDownloadTable", "grTexFilterMode",
    "grTexMaxAddress", "grTexMinAddress", "grTexMipMapMode", "grTexSource",
    "grTexTextureMemRequired", "guAlphaSource", "guColorCombineFunction", "guDrawTriangleWithClip",
    "guFbReadRegion", "guFbWriteRegion", "guFogGenerateExp", "guFogGenerateExp2",
    "guTexAllocateMemory", "guTexDownloadMipMap", "guTexMemReset", "guTexSource",
};

// Names of the defined dynamic symbols other than the linker's own section markers.
std::set<std::string> exported_symbols(const std::string &library) {
  const std::string command = "nm -D --defined-only '" + library + "'";
  FILE *pipe = popen(command.c_str(), "r");
  std::set<std::string> names;
  if (pipe == nullptr) return names;
  char line[512];
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    std::istringstream in(line);
    std::string address, type, name;
    if (!(in >> address >> type >> name)) continue;
    if (name == "_edata" || name == "_end" || name == "__bss_start") continue;
    names.insert(name);
  }
  pclose(pipe);
  return names;
}

TEST(Exports, ExactlyTheEntryPointsAndNothingElse) {
  ASSERT_EQ(kEntryPoints.size(), 81u);
  const std::set<std::string> exported = exported_symbols(GLIDE_LIBRARY_FILE);
  EXPECT_EQ(exported.size(), 81u);
  for (const std::string &name : kEntryPoints) {
    EXPECT_TRUE(exported.count(name)) << "missing " << name;
  }
  for (const std::string &name : exported) {
    EXPECT_TRUE(kEntryPoints.count(name)) << "extra " << name;
  }
}

}  // namespace
