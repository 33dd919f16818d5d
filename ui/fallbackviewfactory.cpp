#include "ui/fallbackpageview.h"

namespace ui {

PageView* CreatePageView(QWidget* parent) { return new FallbackPageView(parent); }
bool PageViewsRunScripts() { return false; }

} // namespace ui
