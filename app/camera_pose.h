#pragma once

// Where the mouse has put the camera. The scene is turned about its Z axis, then about
// its X axis, then moved away from the eye (and along the window by the pan).
struct CameraPose {
  float rotationZ = -135.0f;  // degrees; horizontal left-button drag
  float rotationX = -60.0f;   // degrees; vertical left-button drag
  float zoom = 0.25f;         // wheel total; each unit brings the scene 0.25 closer
  float panX = 0.0f;          // pixels; horizontal right-button drag
  float panY = 0.0f;          // pixels, y down as the window counts them
};
