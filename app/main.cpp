#include <GL/glut.h>

#include "app/glut_callbacks.h"
#include "app/standard_streams.h"
#include "app/viewer_scene.h"
#include "app/window_limits.h"

int main(int argc, char** argv) {
  openStandardStreams();
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutInitWindowSize(480, 480);
  glutInit(&argc, argv);
  limitInitialWindowSize();
  glutCreateWindow("Quadrelle");
  glutDisplayFunc(onDisplay);
  glutReshapeFunc(onReshape);
  glutKeyboardFunc(onKeyboard);
  glutMouseFunc(onMouse);
  glutMotionFunc(onMotion);
  // Armed from the start: the first idle moment draws a frame.
  glutIdleFunc(onIdle);
  buildViewerScene(renderContext);
  glutMainLoop();
  return 0;
}
