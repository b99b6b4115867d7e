#include "app/Message.h"

#include <iostream>

namespace {

MessageHook& Hook() {
  static MessageHook hook;
  return hook;
}

}  // namespace

int ShowMessage(const std::string& text, int kind) {
  if (Hook()) return Hook()(text, kind);
  std::cerr << text << '\n';
  return kind == kMessageYesNo || kind == kMessageYesNoCaution ? 2 : 1;
}

void SetMessageHook(MessageHook hook) { Hook() = std::move(hook); }
