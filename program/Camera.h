// Camera arithmetic of pointer drags and the projection's aspect ratio. No GL here.
#pragma once

// Puts the camera at kCameraPosition.
void PlaceCamera();

// A drag to (x, y): one full viewport width turns the yaw 360 degrees, one full height the
// pitch, in free mode only; the pointer is tracked in either mode.
void DragCamera(int x, int y);

// The pointer moved with no button held: the next drag starts from here.
void TrackPointer(int x, int y);

// width / height in double; a height of 0 counts as 1, so a collapsed window still has a
// projection.
double AspectRatio(int width, int height);
