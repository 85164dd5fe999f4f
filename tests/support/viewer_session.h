#pragma once

#include <memory>
#include <string>

#include "tests/support/viewer_process.h"
#include "tools/xsession/x_client.h"
#include "tools/xsession/xvfb_server.h"

// The X server and client one end-to-end test program shares; started on first use.
struct XTestServer {
  static XvfbServer& server();
  static XClient& client();
};

// A viewer that has opened its window and finished drawing its first frames.
class ViewerSession {
 public:
  ViewerSession();

  ViewerProcess& process() { return process_; }
  Window window() const { return window_; }
  Image grab() { return XTestServer::client().grab(window_); }

  // Runs an input action, waits for the frame it schedules (if any) and until no
  // more come, and returns how many frames it drew.
  template <typename Action>
  long framesDrawnBy(Action action) {
    const long before = process_.settle();
    action(XTestServer::client(), window_);
    process_.waitForFrames(before + 1, std::chrono::seconds(3));
    return process_.settle() - before;
  }
  long key(const std::string& keysym, bool shift = false);

 private:
  ViewerProcess process_;
  Window window_ = 0;
};
