#include "app/AppBase.h"

#include <cassert>

#include "app/Paths.h"

namespace {
AppBase* g_app = nullptr;
}

AppBase::AppBase() {
  assert(!g_app && "only one application object");
  g_app = this;
}

AppBase::~AppBase() { g_app = nullptr; }

UTSettings& AppBase::GetSettings() { return m_settings; }

const std::string& AppBase::GetAppPath() const { return Paths::ProgramFolder(); }

AppBase& GetApp() {
  assert(g_app && "the application object does not exist yet");
  return *g_app;
}
