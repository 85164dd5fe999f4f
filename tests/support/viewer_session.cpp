#include "tests/support/viewer_session.h"

#include <stdexcept>

XvfbServer& XTestServer::server() {
  static XvfbServer server;
  return server;
}

XClient& XTestServer::client() {
  static XClient client(server().display());
  return client;
}

ViewerSession::ViewerSession() : process_(XTestServer::server().display()) {
  XClient& x = XTestServer::client();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (window_ == 0 && process_.running() && std::chrono::steady_clock::now() < deadline) {
    window_ = x.waitForWindow("Quadrelle", std::chrono::milliseconds(200));
  }
  if (window_ == 0 || !process_.waitForFrames(1)) {
    throw std::runtime_error("the viewer showed no window or no frame");
  }
  // GLUT leaves the placement to a window manager, and Xvfb has none.
  x.placeAtOrigin(window_);
  process_.settle();
}

long ViewerSession::key(const std::string& keysym, bool shift) {
  return framesDrawnBy([&](XClient& x, Window w) { x.key(w, keysym, shift); });
}
