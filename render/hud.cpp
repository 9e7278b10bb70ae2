#include "render/hud.h"

#include "render/font.h"
#include "world/field_bounds.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr const char* kFontFile = "./fonts/FRESHBOT.ttf";
constexpr unsigned int kFontPointSize = 48;
constexpr const char* kCounterFormat = "Planets Formed: %.0f";
// Where the counter's text starts: far enough left that every count of two
// digits fits, so the label stands still as the count grows.
constexpr float kCounterLeft = 13.0f;
// No count may run closer than this to the field's right edge: past it, the
// text would be cut off at the window's edge, and in full screen at the bar's.
constexpr float kCounterRightMargin = 2.0f;
constexpr float kCounterRightLimit = static_cast<float>(kFieldRight) - kCounterRightMargin;
constexpr float kCounterBaselineY = 67.0f;
constexpr float kCounterScale = 1.2f * 0.05f; // 3.84 world units per em at 48 points
constexpr float kCounterOpacity = 0.5f;
// Centred under the end picture (45 units square about the sun at (0, 40)),
// clear of its lowest row and of the field's bottom edge.
constexpr float kRecordLineCentreX = 0.0f;
constexpr float kRecordLineBaselineY = 14.0f;
constexpr float kRecordLineScale = kCounterScale;
constexpr float kRecordLineOpacity = 0.9f;

} // namespace

void Hud::loadFont() {
    getHudFont().init(kFontFile, kFontPointSize);
}

void Hud::setPlanetsFormed(int count) {
    planetCount_ = static_cast<float>(count);
}

void Hud::draw() const {
    drawCounter();
    if (!recordLine_.empty()) {
        drawRecordLine();
    }
}

void Hud::drawCounter() const {
    const Font& font = getHudFont();
    char counter[64];
    std::snprintf(counter, sizeof counter, kCounterFormat, static_cast<double>(planetCount_));
    const float width = font.textWidth(counter) * kCounterScale;
    const float left = std::min(kCounterLeft, kCounterRightLimit - width);
    glPushMatrix();
    glTranslatef(left, kCounterBaselineY, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, kCounterOpacity);
    glScalef(kCounterScale, kCounterScale, kCounterScale);
    printText(font, "%s", counter);
    glPopMatrix();
}

void Hud::drawRecordLine() const {
    const Font& font = getHudFont();
    const float halfWidth = 0.5f * font.textWidth(recordLine_) * kRecordLineScale;
    glPushMatrix();
    glTranslatef(kRecordLineCentreX - halfWidth, kRecordLineBaselineY, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, kRecordLineOpacity);
    glScalef(kRecordLineScale, kRecordLineScale, kRecordLineScale);
    printText(font, "%s", recordLine_.c_str());
    glPopMatrix();
}

Hud& getHud() {
    static Hud* const hud = new Hud();
    return *hud;
}

Font& getHudFont() {
    static Font* const font = new Font();
    return *font;
}
