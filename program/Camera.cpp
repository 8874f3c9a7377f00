// Drag and aspect arithmetic of the camera.
#include "program/Camera.h"

#include <algorithm>
#include <iterator>

#include "program/ProgramState.h"

namespace {

// A collapsed viewport (0 pixels) would make a drag turn the camera by infinity and leave it
// there for good; it scales as if it were one pixel.
int AtLeastOne(int size) {
    return size > 0 ? size : 1;
}

}  // namespace

void PlaceCamera() {
    std::copy(std::begin(kCameraPosition), std::end(kCameraPosition), viewState.cameraPosition);
}

void DragCamera(int x, int y) {
    if (!benchmarkMode) {
        const double perDegree = 1.0 / 360;
        viewState.cameraYaw = static_cast<float>(
            viewState.cameraYaw +
            (x - viewState.lastPointerX) / (AtLeastOne(viewState.windowWidth) * perDegree));
        viewState.cameraPitch = static_cast<float>(
            viewState.cameraPitch +
            (y - viewState.lastPointerY) / (AtLeastOne(viewState.windowHeight) * perDegree));
    }
    TrackPointer(x, y);
}

void TrackPointer(int x, int y) {
    viewState.lastPointerX = x;
    viewState.lastPointerY = y;
}

double AspectRatio(int width, int height) {
    return static_cast<double>(width) / AtLeastOne(height);
}
