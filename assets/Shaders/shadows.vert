// Per-pixel lighting with shadow maps: vertex stage.
// Everything is passed on in eye space, where OpenGL keeps light 0.
#version 120

varying vec3 eyePosition;
varying vec3 eyeNormal;
varying vec4 shadowCoord;
varying vec4 baseColour;

void main()
{
    vec4 eye = gl_ModelViewMatrix * gl_Vertex;
    eyePosition = eye.xyz;
    eyeNormal = gl_NormalMatrix * gl_Normal;
    gl_TexCoord[0] = gl_MultiTexCoord0;
    // Unit 4's matrix carries eye coordinates into the light's map (bias x light
    // projection x light view x inverse view), so every fragment looks up the
    // point it shows, however its object is moved, turned or scaled.
    shadowCoord = gl_TextureMatrix[4] * eye;
    baseColour = gl_Color;
    gl_Position = ftransform();
}
