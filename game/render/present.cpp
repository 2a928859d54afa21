// game/render/present: the picture's own framebuffer and how it reaches the
// window. The scene is drawn into an offscreen target of the picture's size
// (colour with alpha, as the window has, and depth) and every frame is shown
// by one scaled blit into the middle of the window, proportions kept, the
// rest of the window black. Without framebuffer objects (or the blit) the
// scene is drawn straight into the window's middle at the size that fits.
#include <GL/glew.h>
#include <GL/freeglut.h>

#include "game/render/engine.h"
#include "game/render/render_internal.h"

#include <cstdio>

namespace {

void deleteTarget()
{
    if (renderer.pictureFramebuffer) {
        glDeleteFramebuffersEXT(1, &renderer.pictureFramebuffer);
    }
    if (renderer.pictureColour) {
        glDeleteRenderbuffersEXT(1, &renderer.pictureColour);
    }
    if (renderer.pictureDepth) {
        glDeleteRenderbuffersEXT(1, &renderer.pictureDepth);
    }
    renderer.pictureFramebuffer = renderer.pictureColour = renderer.pictureDepth = 0;
}

unsigned int makeRenderbuffer(GLenum format, int width, int height)
{
    unsigned int buffer = 0;
    glGenRenderbuffersEXT(1, &buffer);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, buffer);
    glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, format, width, height);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
    return buffer;
}

// The framebuffer a frame draws into: the target, or the window.
unsigned int drawnFramebuffer() { return renderer.offscreen ? renderer.pictureFramebuffer : 0; }

}   // namespace

void createPictureTarget()
{
    int width = 0;
    int height = 0;
    boundPictureSize(renderInputs.width, renderInputs.height, width, height);
    renderer.pictureWidth = width;
    renderer.pictureHeight = height;
    deleteTarget();
    renderer.offscreen = false;
    if (!GLEW_EXT_framebuffer_object || !GLEW_EXT_framebuffer_blit) {
        return;   // drawn straight into the window
    }
    GLint largest = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE_EXT, &largest);
    if (width > largest || height > largest) {
        printf("A %dx%d picture is larger than this GL can draw offscreen; drawing into the window.\n", width, height);
        return;
    }
    renderer.pictureColour = makeRenderbuffer(GL_RGBA8, width, height);
    renderer.pictureDepth = makeRenderbuffer(GL_DEPTH_COMPONENT24, width, height);
    glGenFramebuffersEXT(1, &renderer.pictureFramebuffer);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, renderer.pictureFramebuffer);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_RENDERBUFFER_EXT,
                                 renderer.pictureColour);
    glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT,
                                 renderer.pictureDepth);
    if (glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT) == GL_FRAMEBUFFER_COMPLETE_EXT) {
        renderer.offscreen = true;
    } else {
        printf("The picture's framebuffer is incomplete; drawing into the window.\n");
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
        deleteTarget();
    }
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, drawnFramebuffer());
}

void beginPicture()
{
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, drawnFramebuffer());
    if (renderer.offscreen) {
        renderer.view = {0, 0, renderer.pictureWidth, renderer.pictureHeight};
    } else {
        // The window's middle at the picture's proportions; the frame's clear blackens the bars.
        renderer.view =
            fitPicture(renderer.pictureWidth, renderer.pictureHeight, renderInputs.windowWidth, renderInputs.windowHeight);
    }
    glViewport(renderer.view.x, renderer.view.y, renderer.view.width, renderer.view.height);
}

void bindPicture()
{
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, drawnFramebuffer());
    glViewport(renderer.view.x, renderer.view.y, renderer.view.width, renderer.view.height);
}

void presentPicture()
{
    if (renderer.offscreen) {
        const int windowWidth = renderInputs.windowWidth > 0 ? renderInputs.windowWidth : 1;
        const int windowHeight = renderInputs.windowHeight > 0 ? renderInputs.windowHeight : 1;
        const PictureRect shown = fitPicture(renderer.pictureWidth, renderer.pictureHeight, windowWidth, windowHeight);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
        glDisable(GL_SCISSOR_TEST);   // the blit and the clear obey it
        if (shown.width != windowWidth || shown.height != windowHeight) {
            glClear(GL_COLOR_BUFFER_BIT);   // the bars (the clear colour is black)
        }
        glBindFramebufferEXT(GL_READ_FRAMEBUFFER_EXT, renderer.pictureFramebuffer);
        const bool sameSize = shown.width == renderer.pictureWidth && shown.height == renderer.pictureHeight;
        glBlitFramebufferEXT(0, 0, renderer.pictureWidth, renderer.pictureHeight, shown.x, shown.y,
                             shown.x + shown.width, shown.y + shown.height, GL_COLOR_BUFFER_BIT,
                             sameSize ? GL_NEAREST : GL_LINEAR);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, renderer.pictureFramebuffer);
    }
    glutSwapBuffers();
}

void resizeRender()
{
    createPictureTarget();
    createShadowMap();
    beginPicture();
}
