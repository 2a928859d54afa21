// game/render/texts: stroke-font texts in the scene — the menus and the play
// HUD, with the white markers, balls and shots drawn beside them, unlit.
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

// Draws text with the middle of its baseline at (x, y), z 20.
void drawCentredText(float x, float y, int font, const char* text)
{
    void* face = (font == 1) ? GLUT_STROKE_MONO_ROMAN : GLUT_STROKE_ROMAN;
    const float width = 0.02f * glutStrokeLength(face, reinterpret_cast<const unsigned char*>(text));
    drawStrokeText(x - width / 2, y, 20, font, text);
}

// The menu's failure line, under the menu's lines, broken at blanks into rows
// as wide as the view shows (a word too long for a row gets one of its own).
void drawMenuMessage()
{
    constexpr float ROW_WIDTH = 60;   // world units at z 20: most of the menu's view
    constexpr int MAX_ROWS = 4;       // what fits below the lines
    const char* text = renderInputs.menuMessage;
    float y = -6;
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

void shownPackName(const char* name, char* shown, size_t size)
{
    std::string upper;
    for (const char* c = name; *c; ++c) {
        upper += (*c >= 'a' && *c <= 'z') ? static_cast<char>(*c - 'a' + 'A') : *c;
    }
    // The line has room for PACK_NAME_SHOWN characters right of "LEVELS PACK: ": a longer name keeps its
    // start and its end (the extension) around "...".
    if (upper.size() > PACK_NAME_SHOWN) {
        const size_t tail = (PACK_NAME_SHOWN - 3) / 2;
        const size_t head = PACK_NAME_SHOWN - 3 - tail;
        upper = upper.substr(0, head) + "..." + upper.substr(upper.size() - tail);
    }
    snprintf(shown, size, "%s", upper.c_str());
}

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
    for (int i = 0; i < 3; ++i) {
        drawLightMarker(engine.lights[i], 0.5);
    }
    glLineWidth(3.0f);
    glColor3f(1, 1, 1);
    drawMenuMessage();
    if (!renderInputs.optionsShown) {
        drawStrokeText(35, 20, 20, 0, "NEW GAME");
        drawStrokeText(35, 15, 20, 0, "OPTIONS");
        drawStrokeText(35, 10, 20, 0, "QUIT");
        return;
    }
    drawStrokeText(35, 20, 20, 0, "RESOLUTION: ");
    drawNumber(52, 20, 20, 0, renderInputs.width);
    drawStrokeText(58, 20, 20, 0, "x");
    drawNumber(59, 20, 20, 0, renderInputs.height);
    drawStrokeText(35, 15, 20, 0, renderInputs.windowed ? "DISPLAY: WINDOW" : "DISPLAY: FULL SCREEN");
    drawStrokeText(35, 10, 20, 0, renderInputs.fallMode ? "FALL MODE: ON" : "FALL MODE: OFF");
    drawStrokeText(35, 5, 20, 0, renderInputs.mouseControl ? "CONTROL MODE: MOUSE" : "CONTROL MODE: KEYBOARD");
    drawStrokeText(35, 0, 20, 0, "LEVELS PACK: ");
    char name[RENDER_NAME_SIZE];
    shownPackName(renderInputs.levelPackName, name, sizeof name);
    drawStrokeText(55, 0, 20, 0, name);
    // Below it, smaller: how many levels, and how hard.
    char about[64];
    if (renderInputs.packLevels <= 0) {
        snprintf(about, sizeof about, "CANNOT BE READ");
    } else if (renderInputs.packRatingLow <= 0) {
        snprintf(about, sizeof about, "%d LEVEL%s, NOT RATED", renderInputs.packLevels,
                 renderInputs.packLevels == 1 ? "" : "S");
    } else if (renderInputs.packRatingLow == renderInputs.packRatingHigh) {
        snprintf(about, sizeof about, "%d LEVEL%s, RATED %d OF 5", renderInputs.packLevels,
                 renderInputs.packLevels == 1 ? "" : "S", renderInputs.packRatingLow);
    } else {
        snprintf(about, sizeof about, "%d LEVELS, RATED %d TO %d OF 5", renderInputs.packLevels,
                 renderInputs.packRatingLow, renderInputs.packRatingHigh);
    }
    glPushMatrix();
    glTranslatef(55, -2.2f, 20);
    glScalef(0.5f, 0.5f, 1);
    drawStrokeText(0, 0, 0, 0, about);
    glPopMatrix();
    drawStrokeText(35, -5, 20, 0, "RETURN");
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
    drawNumber(66, 44, 20, 0, std::max(50000, field.score));
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
