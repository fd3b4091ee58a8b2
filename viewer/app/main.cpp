// meshpeek: shows one MD2 model with a PCX skin, animated, in a window the
// size of the screen, drawn through glide. See README for the keys.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "glide.h"
#include "input.h"
#include "keys.h"
#include "meshpeek/cmdline.h"
#include "meshpeek/draw.h"
#include "meshpeek/model.h"
#include "meshpeek/screenshot.h"
#include "meshpeek/skin.h"
#include "meshpeek/state.h"

using namespace meshpeek;

namespace {

// What the error procedure must tear down, whatever the point of failure.
struct Session {
  SDL_Window* window = nullptr;
  bool glideStarted = false;
  std::optional<Model> model;
  int screenWidth = 640, screenHeight = 480;
};

Session session;

// No screen to show a box on: the message goes to stderr only.
bool canShowMessageBox() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver) driver = std::getenv("SDL_VIDEODRIVER");
  const std::string name = driver ? driver : "";
  return name != "dummy" && name != "offscreen";
}

// The one way out on a fatal error: glide down, the message shown, the
// window gone, the model freed, exit code -1 (255).
[[noreturn]] void fail(const Error& failure) {
  if (session.glideStarted) grGlideShutdown();
  std::fprintf(stderr, "%s\n", failure.text.c_str());
  if (!failure.detail.empty()) std::fprintf(stderr, "  %s\n", failure.detail.c_str());
  if (canShowMessageBox()) {
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, "Error", failure.text.c_str(), session.window);
  }
  if (session.window) SDL_DestroyWindow(session.window);
  session.model.reset();
  SDL_Quit();
  std::exit(255);
}

template <class T>
T take(Result<T> outcome) {
  if (!outcome.ok()) fail(outcome.error());
  return std::move(outcome.value());
}

void check(const Status& status) {
  if (!status) fail(status.error());
}

void openWindow() {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) fail({"Unable to create window", SDL_GetError()});
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
    session.screenWidth = mode.w;
    session.screenHeight = mode.h;
  }
  session.window = SDL_CreateWindow("MeshPeek", 0, 0, session.screenWidth, session.screenHeight,
                                    SDL_WINDOW_BORDERLESS | SDL_WINDOW_SHOWN);
  if (!session.window) fail({"Unable to create window", SDL_GetError()});
  fragdock::keys::install();
}

void openGlide() {
  grGlideInit();
  session.glideStarted = true;
  GrHwConfiguration hardware;
  if (!grSstQueryHardware(&hardware)) fail({"grSstQueryHardware failed", ""});
  grSstSelect(0);
  if (!grSstOpen(GR_RESOLUTION_640x480, GR_REFRESH_60Hz, GR_COLORFORMAT_ARGB, GR_ORIGIN_UPPER_LEFT,
                 GR_SMOOTHING_ENABLE, 2)) {
    fail({"grSstOpen failed", ""});
  }
}

void setUpRendering() {
  guColorCombineFunction(GR_COLORCOMBINE_TEXTURE_TIMES_ITRGB);
  grTexFilterMode(GR_TMU0, GR_TEXTUREFILTER_BILINEAR, GR_TEXTUREFILTER_BILINEAR);
  grTexClampMode(GR_TMU0, GR_TEXTURECLAMP_WRAP, GR_TEXTURECLAMP_WRAP);
  grTexCombine(GR_TMU0, GR_COMBINE_FUNCTION_LOCAL, GR_COMBINE_FACTOR_NONE, GR_COMBINE_FUNCTION_LOCAL,
               GR_COMBINE_FACTOR_NONE, FXFALSE, FXFALSE);
  grFogMode(GR_FOG_WITH_TABLE);
  grFogColorValue(0);
  GrFog_t fog[GR_FOG_TABLE_SIZE] = {};
  guFogGenerateExp2(fog, 0.003f);
  grFogTable(fog);
  grDepthBufferMode(GR_DEPTHBUFFER_WBUFFER);
  grDepthBufferFunction(GR_CMP_LESS);
  grDepthMask(FXTRUE);
  grCullMode(GR_CULL_DISABLE);
}

Model loadModel(const CommandLine& line, std::string& pakPath) {
  if (pakPath.empty()) return take(loadModelFromFile(line.model));
  return take(loadModelFromArchive(pakPath, line.model));
}

DrawParams paramsFor(const ViewerState& s, const FrameToDraw& f) {
  DrawParams p;
  p.rotationH = s.rotationH, p.rotationV = s.rotationV;
  p.frame = f.frame, p.fraction = f.fraction;
  p.centreX = static_cast<float>(s.centreX), p.centreY = static_cast<float>(s.centreY);
  p.distance = s.distance, p.morph = s.morph;
  return p;
}

// Closing the window ends the loop like Esc does.
bool quitRequested() {
  bool quit = false;
  SDL_Event event;
  while (SDL_PollEvent(&event)) {
    if (event.type == SDL_QUIT) quit = true;
    if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE) quit = true;
  }
  return quit;
}

int runFrames(Model& model, std::string& pakPath, const std::string& overrideSkin) {
  ViewerState state;
  MouseReference mouse{session.screenWidth / 2, session.screenHeight / 2};
  centreMouse(mouse);
  forgetEarlierPresses();
  std::vector<GrVertex> scratch(64);
  int shots = 0;
  const int skinCount = static_cast<int>(model.md2.skinNames.size());
  for (;;) {
    grBufferClear(0x00000000, 0, 0xFFFF);
    drawModel(model, paramsFor(state, frameToDraw(state, stillHeld())), scratch);
    while (grBufferNumPending() != 0) {
    }
    grBufferSwap(1);
    const FrameInput input = readFrameInput(mouse, skinCount);
    const bool closed = quitRequested();
    const FrameActions actions = updateState(state, input, skinCount);
    if (actions.screenshot) writeScreenshot(shots);
    if (actions.loadSkin) check(loadSkin(model, pakPath, state.skin, overrideSkin));
    if (actions.quit || closed) break;
  }
  return 0;
}

// --help and --version answer without a window or a model.
int answerInfoRequest(InfoRequest request) {
  std::fputs(request == InfoRequest::Help ? usageText().c_str() : versionLine().c_str(), stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (const InfoRequest request = infoRequest(argc, argv); request != InfoRequest::None) {
    return answerInfoRequest(request);
  }
  const CommandLine line = parseCommandLine(joinArguments(argc, argv));
  std::string pakPath = line.pak;
  std::string overrideSkin = line.skin;
  if (!pakPath.empty() && line.model.empty()) {
    check(writeMapList(pakPath));
    return 0;
  }
  session.model = loadModel(line, pakPath);
  Model& model = *session.model;
  if (!line.list.empty()) {
    overrideSkin.clear();
    check(mergeSkinListFile(line.list, model));
  }
  openWindow();
  openGlide();
  check(loadSkin(model, pakPath, 0, overrideSkin));
  setUpRendering();
  const int code = runFrames(model, pakPath, overrideSkin);
  grGlideShutdown();
  session.glideStarted = false;
  session.model.reset();
  SDL_DestroyWindow(session.window);
  SDL_Quit();
  return code;
}
