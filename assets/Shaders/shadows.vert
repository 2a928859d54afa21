// Per-pixel lighting with shadow maps: vertex stage.
// Everything is passed on in eye space, where OpenGL keeps the lights.
#version 120

varying vec3 eyePosition;
varying vec3 eyeNormal;
varying vec4 baseColour;

#ifdef LIGHT_SET
// Each shadowed light's matrix carries eye coordinates into its map (bias x
// light projection x light view x inverse view).
#if SHADOW_MAPS > 0
uniform mat4 shadowMatrices[SHADOW_MAPS];
varying vec4 shadowCoords[SHADOW_MAPS];
#endif
#else
varying vec4 shadowCoord;
#endif

void main()
{
    vec4 eye = gl_ModelViewMatrix * gl_Vertex;
    eyePosition = eye.xyz;
    eyeNormal = gl_NormalMatrix * gl_Normal;
    gl_TexCoord[0] = gl_MultiTexCoord0;
    // Every fragment looks up the point it shows in the maps, however its
    // object is moved, turned or scaled.
#ifdef LIGHT_SET
#if SHADOW_MAPS > 0
    for (int i = 0; i < SHADOW_MAPS; ++i) {
        shadowCoords[i] = shadowMatrices[i] * eye;
    }
#endif
#else
    shadowCoord = gl_TextureMatrix[4] * eye;   // unit 4's matrix: the one light's
#endif
    baseColour = gl_Color;
    gl_Position = ftransform();
}
