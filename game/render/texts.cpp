// game/render/texts: stroke-font texts in the scene — the menu pages as the
// shell laid them out, and the play HUD — with the white markers, balls and
// shots drawn beside them, unlit.
#include <GL/glew.h>
#include <GL/freeglut.h>

#include "game/playfield/playfield.h"
#include "game/render/engine.h"
#include "game/render/render_internal.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

void drawNumber(float x, float y, float z, int font, int value)
{
    char text[16];
    snprintf(text, sizeof text, "%d", value);
    drawStrokeText(x, y, z, font, text);
}

void* fontFace(int font) { return (font == 1) ? GLUT_STROKE_MONO_ROMAN : GLUT_STROKE_ROMAN; }

float textWidth(int font, float scale, const char* text, size_t length)
{
    float width = 0;
    for (size_t i = 0; i < length && text[i]; ++i) {
        width += glutStrokeWidth(fontFace(font), static_cast<unsigned char>(text[i]));
    }
    return width * scale;
}

void drawScaledText(float x, float y, int font, float scale, const char* text)
{
    glPushMatrix();
    glTranslatef(x, y, 20);
    glScalef(scale, scale, scale);
    for (const char* c = text; *c; ++c) {
        glutStrokeCharacter(fontFace(font), static_cast<unsigned char>(*c));
    }
    glPopMatrix();
}

// Draws text with the middle of its baseline at (x, y), z 20.
void drawCentredText(float x, float y, int font, const char* text)
{
    const float width = textWidth(font, TEXT_SCALE, text, strlen(text));
    drawStrokeText(x - width / 2, y, 20, font, text);
}

// A line under a text's baseline from left to right (world units at z 20).
void underline(float left, float right, float y, float scale)
{
    const float under = y - 40 * scale;   // below the descenders
    glBegin(GL_LINES);
    glVertex3f(left, under, 20);
    glVertex3f(right, under, 20);
    glEnd();
}

// A line under character `at` of a text drawn from x: a cursor.
void drawMark(float x, float y, int font, float scale, const char* text, int at)
{
    const float left = x + textWidth(font, scale, text, static_cast<size_t>(at));
    const char one[2] = {text[at] && text[at] != ' ' ? text[at] : 'M', '\0'};
    underline(left, left + textWidth(font, scale, one, 1), y, scale);
}

void setTextColour(TextColour colour)
{
    switch (colour) {
        case TextColour::White: glColor3f(1, 1, 1); break;
        case TextColour::Red: glColor3f(1, 0, 0); break;
        case TextColour::Grey: glColor3f(0.55f, 0.55f, 0.55f); break;
    }
}

void drawMenuTextItem(const MenuText& item)
{
    const size_t length = strnlen(item.text, RENDER_TEXT_SIZE - 1);
    char text[RENDER_TEXT_SIZE];
    memcpy(text, item.text, length);
    text[length] = '\0';
    const float x = item.centred ? item.x - textWidth(item.font, item.scale, text, length) / 2 : item.x;
    setTextColour(item.colour);
    // Small texts in thinner lines, or their letters run together.
    glLineWidth(item.scale >= TEXT_SCALE * 0.9f ? 3.0f : 2.0f);
    drawScaledText(x, item.y, item.font, item.scale, text);
    if (item.mark >= 0 && static_cast<size_t>(item.mark) <= length) {
        glLineWidth(3.0f);
        drawMark(x, item.y, item.font, item.scale, text, item.mark);
    }
}

// The menu's failure line, under the menu's lines, broken at blanks into rows
// as wide as the view shows (a word too long for a row gets one of its own).
void drawMenuMessage()
{
    constexpr float ROW_WIDTH = 60;   // world units at z 20: most of the menu's view
    constexpr int MAX_ROWS = 4;       // what fits below the lines
    const char* text = renderInputs.menuMessage;
    float y = renderInputs.menuMessageY;
    for (int rows = 0; *text && rows < MAX_ROWS; ++rows) {
        char row[RENDER_MESSAGE_SIZE];
        size_t length = 0;
        size_t fitting = 0;
        while (text[length]) {
            size_t next = length;
            while (text[next] == ' ') {
                ++next;
            }
            while (text[next] && text[next] != ' ') {
                ++next;
            }
            memcpy(row, text, next);
            row[next] = '\0';
            const float width = 0.02f * glutStrokeLength(GLUT_STROKE_ROMAN, reinterpret_cast<unsigned char*>(row));
            if (width > ROW_WIDTH && fitting > 0) {
                break;
            }
            fitting = length = next;
        }
        row[fitting] = '\0';
        memcpy(row, text, fitting);
        drawCentredText(40, y, 0, row);
        text += fitting;
        while (*text == ' ') {
            ++text;
        }
        y -= 2.6f;
    }
}

// A small white sphere at a light, drawn on the play plane in front of it.
void drawLightMarker(const Light& light, double radius)
{
    glPushMatrix();
    glTranslatef(light.position[0], light.position[1], light.position[2] - 5);
    glutSolidSphere(radius, 100, 8);
    glPopMatrix();
}

// The HUD's texts move with the room as far as the picture keeps them whole,
// then stay at its edge (hudCamera), whatever the camera does; they are drawn
// over everything, as the room's depth never hid them.
void beginHudTexts()
{
    double eye[3];
    double direction[3];
    const double aspect =
        static_cast<double>(renderer.view.width) / (renderer.view.height > 0 ? renderer.view.height : 1);
    hudCamera(engine.cameraPosition, engine.cameraDirection, aspect, eye, direction);
    setCamera(static_cast<float>(eye[0]), static_cast<float>(eye[1]), static_cast<float>(eye[2]),
              static_cast<float>(eye[0] + direction[0]), static_cast<float>(eye[1] + direction[1]),
              static_cast<float>(eye[2] + direction[2]), VIEW_NEAR, static_cast<float>(VIEW_FIELD_OF_VIEW));
    glDisable(GL_DEPTH_TEST);
}

}   // namespace

void drawStrokeText(float x, float y, float z, int font, const char* text)
{
    void* face = (font == 1) ? GLUT_STROKE_MONO_ROMAN : GLUT_STROKE_ROMAN;
    glPushMatrix();
    glTranslatef(x, y, z);
    glScalef(0.02f, 0.02f, 0.02f);
    for (const char* c = text; *c; ++c) {
        glutStrokeCharacter(face, static_cast<unsigned char>(*c));
    }
    glPopMatrix();
}

void drawMenuText()
{
    glColor3f(1, 1, 1);
    for (int i = 0; i < 3 && renderInputs.menuMarkers; ++i) {
        drawLightMarker(engine.lights[i], 0.5 * renderInputs.menuMarkerScale);
    }
    glLineWidth(3.0f);
    glColor3f(1, 1, 1);
    drawMenuMessage();
    const int count = std::clamp(renderInputs.menuTextCount, 0, RENDER_TEXTS);
    for (int i = 0; i < count; ++i) {
        drawMenuTextItem(renderInputs.menuTexts[i]);
    }
    glLineWidth(3.0f);
}

void drawHud()
{
    const PlayField& field = shownField();
    if (field.lives > 0 && !field.lifeLostPause) {
        for (int slot = 0; slot < BALL_SLOTS; ++slot) {
            const Light& light = engine.lights[slot];
            if (field.balls[slot].active && light.enabled && light.position[3] >= 1) {
                glColor3f(1, 1, 1);
                drawLightMarker(light, BALL_RADIUS);
            }
        }
    }
    if (field.laserActive) {
        glColor3f(1, 1, 1);
        const double pw = field.paddle.halfWidth;
        const double shots[2] = {field.laserX - pw + 0.1, field.laserX + pw - 0.1};
        for (double x : shots) {
            glPushMatrix();
            glTranslated(x, field.laserY, PLAY_PLANE_Z);
            glScalef(0.5f, 1, 0.5f);
            glutSolidSphere(0.5, 100, 8);
            glPopMatrix();
        }
    }
    glLineWidth(3.0f);
    if (field.warpOpen) {
        for (int k = 0; k < 4; ++k) {
            glColor3f(1, 0, 0);
            glPushMatrix();
            glTranslatef(60, -8, 15);
            glRotated(renderInputs.exitSpin[k], 0, 1, 0);
            glBegin(GL_LINE_STRIP);
            glVertex3f(-1, 0, 0);
            glVertex3f(0.5f, -0.5f, 0);
            glVertex3f(-1, 2, 0);
            glVertex3f(0.5f, 1.5f, 0);
            glVertex3f(-1, 4, 0);
            glVertex3f(0.5f, 3.5f, 0);
            glVertex3f(-1, 6, 0);
            glVertex3f(0.5f, 5.5f, 0);
            glEnd();
            glPopMatrix();
        }
    }
    const bool depthTested = glIsEnabled(GL_DEPTH_TEST);
    beginHudTexts();
    if (field.lives <= 0) {
        glColor3f(1, 1, 1);
        drawStrokeText(32.5f, 0, 20, 0, "GAME OVER");
    }
    glColor3f(1, 0, 0);
    drawStrokeText(64, 50, 20, 1, "HIGH");
    drawStrokeText(66, 47, 20, 1, "SCORE");
    glColor3f(1, 1, 1);
    drawNumber(66, 44, 20, 0, renderInputs.highScore);
    drawNumber(66, 39, 20, 0, field.score);
    glColor3f(1, 0, 0);
    drawStrokeText(64, -10, 20, 0, "ROUND");
    glColor3f(1, 1, 1);
    drawNumber(71.5f, -13, 20, 0, field.levelNumber);
    if (renderInputs.readyShown) {
        glColor3f(1, 1, 1);
        drawStrokeText(36, static_cast<float>(renderInputs.readySlide), 20, 0, "READY");
    }
    if (renderInputs.paused) {
        glColor3f(1, 1, 1);
        drawCentredText(40, 4, 0, "PAUSED");
    }
    if (renderInputs.askingEnd) {
        // The choice is white and underlined, the other grey.
        glColor3f(1, 1, 1);
        drawCentredText(40, 6, 0, "END THIS GAME?");
        const float yesX = 40 - 3 - textWidth(0, TEXT_SCALE, "YES", 3);
        setTextColour(renderInputs.answerYes ? TextColour::White : TextColour::Grey);
        drawStrokeText(yesX, 1, 20, 0, "YES");
        setTextColour(renderInputs.answerYes ? TextColour::Grey : TextColour::White);
        drawStrokeText(43, 1, 20, 0, "NO");
        glColor3f(1, 1, 1);
        if (renderInputs.answerYes) {
            underline(yesX, yesX + textWidth(0, TEXT_SCALE, "YES", 3), 1, TEXT_SCALE);
        } else {
            underline(43, 43 + textWidth(0, TEXT_SCALE, "NO", 2), 1, TEXT_SCALE);
        }
    }
    if (renderInputs.banner != PlayBanner::Game) {
        // Left of the field, as HIGH SCORE stands right of it: its right end
        // where HIGH begins, mirrored about the field's middle.
        const char* text = renderInputs.banner == PlayBanner::Demo ? "DEMO" : "REPLAY";
        const float width =
            0.02f * glutStrokeLength(GLUT_STROKE_MONO_ROMAN, reinterpret_cast<const unsigned char*>(text));
        glColor3f(1, 0, 0);
        drawStrokeText(16 - width, 50, 20, 1, text);
    }
    if (depthTested) {
        glEnable(GL_DEPTH_TEST);
    }
}
