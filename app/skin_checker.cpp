#include "app/skin_checker.h"

#include "app/skin_document.h"
#include "check/check.h"

namespace {
constexpr int kCheckDelayMs = 300;
}  // namespace

SkinChecker::SkinChecker(SkinDocument& document, QObject* parent) : QObject(parent), document_(document) {
  timer_.setSingleShot(true);
  timer_.setInterval(kCheckDelayMs);
  connect(&timer_, &QTimer::timeout, this, &SkinChecker::CheckNow);
  const auto later = [this] { timer_.start(); };
  connect(&document, &SkinDocument::skinChanged, this, later);
  connect(&document, &SkinDocument::diskChanged, this, later);
}

void SkinChecker::CheckNow() {
  timer_.stop();
  document_.SetProblems(CheckSkin(document_.skin(), CheckInputOf(document_.disk(), document_.skin())));
}
