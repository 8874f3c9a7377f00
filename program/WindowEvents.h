// What the window's own events do to the program: a new size, and being shown or hidden. No
// GLUT here; the callbacks translate the events and apply the GL side.
#pragma once

// The picture takes a new size (the window's, or a viewport key's): the view state takes it, and
// it is a new workload: a benchmark turn in progress, which drew another size, starts afresh, the
// summary forgets the turns before, and benchmark mode names the run at its new size.
void ResizeView(int width, int height);

// The window is reported shown (true) or hidden or fully covered (false). Returns true when
// that changes whether frames run, and the caller then starts or stops the idle frames: frames
// that start again are measured from now (ResumeFrames). A repeated report changes nothing.
bool ShowWindow(bool shown);

// Whether frames run: the window was last reported shown, or never reported. True at start.
bool FramesRunning();
