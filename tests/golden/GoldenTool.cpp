// Draws what the tests compare with their references: the results of the simulation script
// (--simulation RESULTS: the lines read from standard input, each step followed by its results,
// written with '\n' line ends on every platform, as the reference has them) and the golden frames
// (--frames FOLDER, an absolute path: one PPM per case and renderer.txt, the GL renderer and
// version that drew them; needs a display). `make golden` runs both to rewrite the references;
// the golden test draws the frames into a folder of its own. --gl-error makes one bad GL call
// under the sanitizer build's GL check, which must abort.
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

#include "GlWindow.h"
#include "SimScript.h"
#include "SteadyState.h"
#include "gl/Display.h"
#include "gl/Scene.h"
#include "image/Texture.h"
#include "program/ProgramState.h"
#include "shell/Callbacks.h"

namespace {

void WritePpm(const std::string& path) {
    std::vector<char> rgb(640 * 480 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 640, 480, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    std::ofstream out(path, std::ios::binary);
    out << "P6\n640 480\n255\n";
    for (int row = 479; row >= 0; --row) {  // GL's rows run bottom-up, the picture's top-down
        out.write(&rgb[row * 640 * 3], 640 * 3);
    }
}

// The text renderer beyond the HUD, over black: markup (malformed escapes drawn as text),
// shadow with gradient and bold, tab and newline, a box that wraps, takes a newline after a wrap
// and stops, a custom projection and the caller's own (twice the window's scale), and glyphs
// past code 127.
void DrawText() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    font.cellSize = 24;
    font.Print(8, 440, "\\b+Bold\\b- \\i+italic\\i- \\c(255 96 0)colour\\a(0 160 255 96) alpha");
    font.cellSize = 16;
    font.shadow = font.gradient = true;
    font.gradientColour = {0, 96, 255, 255};
    font.Print(8, 404, "shadow, gradient\t%d\n\\b+and bold\\b- \\x\\", 1234567890);
    font.boxMode = true;
    font.boxTop = 360;
    font.boxWidth = 192;  // twelve cells: a glyph ending on the edge still fits
    font.boxHeight = 60;
    font.Print(0, 0, "twelve chars\nwraps twice, then stops below the box");
    font.useCustomProjection = true;
    font.projRight = 320;
    font.projTop = 240;
    font.Print(170, 110, "custom");
    glMatrixMode(GL_PROJECTION);  // what Print finds current it leaves current
    font.Print(8, 200, "%s", "");
    glLoadIdentity();
    glOrtho(0, 320, 0, 240, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    font.skipProjection = font.skipStateSave = true;  // in the caller's space and state
    font.Print(170, 95, "caller's");
    font.useCustomProjection = font.skipProjection = font.skipStateSave = false;
    font.cellSize = 10;
    font.Print(8, 160, "%s", " !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`");
    font.Print(8, 148, "%s",
               "abcdefghijklmnopqrstuvwxyz{|}~ \xa1\xb5\xc0\xc9\xd6\xdf\xe9\xf1\xfc\xff");
}

// The upload's paths that the program never takes: the refusals, which come before any GL call
// and leave the pixels held, and a single level, which the floor seen from below then shows.
bool UploadFloorAsOneLevel() {
    Texture wood;
    wood.Load("wood.tga", floorTextureName, 0);
    wood.mipmaps = false;
    wood.width = 384;
    const bool refusedSize = wood.Upload(/*releasePixels=*/true) == kTextureBadSize;
    wood.width = 256;
    return refusedSize && wood.Upload(true) == kImageOk && wood.Upload(true) == kTextureNoPixels;
}

// The scene without the three pictures and with them: from the start-up camera, from below the
// floor (which hides every particle; its texture of one level here) and part way round the
// benchmark orbit; then the text.
int WriteFrames(const char* folder) {
    const struct {
        const char* name;
        bool withData;
        int count, benchmark;
        float pitch, yaw, fps, average, peak;
    } cases[] = {{"bare", false, 500, 0, 0, 35, 46.9f, 20000, 25000},
                 {"below", true, 4000, 0, -30, 35, 98.7f, 301000, 412000},
                 {"fountain", true, 32000, 0, 0, 35, 104.2f, 987000, 3400000},
                 {"orbit", true, 64000, 1, 0, 200, 31.3f, 1800000, 2100000}};
    for (const auto& c : cases) {
        if (chdir(c.withData ? EMBERVANE_DATA_DIR : "/") != 0) {  // "/" holds no pictures
            return 1;
        }
        InitScene();
        if (c.pitch < 0 && !UploadFloorAsOneLevel()) {
            std::cerr << "golden_tool: an upload gave the wrong result\n";
            return 1;
        }
        Reshape(640, 480);
        PrepareSteadyState(c.count);
        benchmarkMode = c.benchmark;
        viewState.cameraPitch = c.pitch;
        viewState.cameraYaw = c.yaw;
        // Figures that cannot stand in for one another. The rate text runs past the average's
        // column in "fountain" and ends right on it in "orbit": both push the average on, one
        // blank cell after the rate.
        const float rate = static_cast<float>(c.count) * c.fps;
        frameStats = {0, c.fps, rate, 3 * c.average, 3, c.average, c.peak};
        DrawScene();
        WritePpm(std::string(folder) + "/" + c.name + ".ppm");
    }
    DrawText();
    WritePpm(std::string(folder) + "/text.ppm");
    std::ofstream(std::string(folder) + "/renderer.txt", std::ios::binary)
        << glGetString(GL_RENDERER) << '\n'
        << glGetString(GL_VERSION) << '\n';
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--simulation") == 0) {
        std::ofstream results(argv[2], std::ios::binary);
        StartScript();
        for (std::string line; std::getline(std::cin, line);) {
            const std::string step = line.substr(0, line.find(' '));
            results << (line[0] == '#' ? line : RunStep(step)) << '\n';
        }
        return results.good() ? 0 : 1;
    }
    if (argc == 2 && std::strcmp(argv[1], "--gl-error") == 0) {
        // The sanitizer build's GL check at work: in the program's own window, one bad call
        // must end the process inside it, with GL's message.
        OpenGlWindow(&argc, argv);
        glEnable(0);  // no such capability
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "--frames") == 0) {
        OpenGlWindow(&argc, argv);
        return WriteFrames(argv[2]);
    }
    std::cerr << "usage: golden_tool --simulation RESULTS <steps | --frames FOLDER | --gl-error\n";
    return 2;
}
