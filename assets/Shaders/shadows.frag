// Per-pixel lighting with shadow maps: fragment stage.
//   diffuse map x current colour, tangent-space normal map, specular map,
//   height map as a parallax offset, spot cone and attenuation, and the
//   light's radius (diffuse alpha) as a soft distance fall-off.
// Two builds of this file:
// - one light per pass (GL light 0), the passes added together by the
//   blender. The game compiles variants without the blocks a light leaves
//   dead (DIRECTIONAL_LIGHT: w 0, NO_CONE: cut-off 180, NO_SHADOW: no lookup
//   can find a shadow); what remains is the same arithmetic, so the same pixels.
// - LIGHT_SET: every light of the frame in one pass. The game defines
//   LIGHT_SET as a list of LIGHT(gl light, directional, cone) and
//   SHADOWED_LIGHT(gl light, directional, cone, map) entries, and SHADOW_MAPS;
//   the tangent frame and the maps are read once, and each light's term is
//   rounded as a pass of its own would leave it in the 8-bit framebuffer.
#version 120

uniform sampler2D texture;
uniform sampler2D normalMap;
uniform sampler2D specularMap;
uniform sampler2D heightMap;
uniform sampler2DShadow ShadowMap;   // every light's map, each in its own part (its tile)

varying vec3 eyePosition;
varying vec3 eyeNormal;
varying vec4 baseColour;

#ifdef LIGHT_SET
#if SHADOW_MAPS > 0
uniform vec4 shadowTiles[SHADOW_MAPS];
varying vec4 shadowCoords[SHADOW_MAPS];
#endif
#else
uniform vec4 shadowTile;   // where the light's map lies in the shadow texture: xy scale, zw offset
varying vec4 shadowCoord;
#endif

const float PARALLAX_SCALE = 0.025;
const float FILL = 0.3;    // light that reaches a surface facing away, so shapes never vanish

// What a fragment shows, whichever light falls on it.
struct Surface {
    vec3 normal;
    vec3 view;       // towards the eye
    vec3 base;       // diffuse colour
    float specular;
    float shininess;
};

// Tangent frame from screen-space derivatives: no tangents are passed.
mat3 tangentFrame(vec3 n, vec3 p, vec2 uv)
{
    vec3 dp1 = dFdx(p);
    vec3 dp2 = dFdy(p);
    vec2 duv1 = dFdx(uv);
    vec2 duv2 = dFdy(uv);
    vec3 dp2perp = cross(dp2, n);
    vec3 dp1perp = cross(n, dp1);
    vec3 t = dp2perp * duv1.x + dp1perp * duv2.x;
    vec3 b = dp2perp * duv1.y + dp1perp * duv2.y;
    float scale = inversesqrt(max(max(dot(t, t), dot(b, b)), 1e-12));
    return mat3(t * scale, b * scale, n);
}

// The map's coordinates run 0..1 over the light's own map; tile places that
// square in the shadow texture.
float shadowFactor(vec4 coord, vec4 tile)
{
    if (coord.w <= 0.0) {
        return 1.0;   // behind the light camera: outside its map
    }
    vec3 c = coord.xyz / coord.w;
    if (c.x <= 0.0 || c.x >= 1.0 || c.y <= 0.0 || c.y >= 1.0 || c.z >= 1.0) {
        return 1.0;
    }
    return shadow2D(ShadowMap, vec3(c.xy * tile.xy + tile.zw, c.z)).r;
}

// One light's term. The flags are constants at every call, so each call
// keeps only its light's blocks.
vec3 lightTerm(gl_LightSourceParameters light, bool directional, bool cone, float lit, Surface s)
{
    // Direction and distance to the light; w 0 means a direction.
    vec4 lightPosition = light.position;
    vec3 toLight = directional ? lightPosition.xyz : lightPosition.xyz - eyePosition * lightPosition.w;
    float distance = length(toLight);
    vec3 l = distance > 1e-5 ? toLight / distance : s.normal;   // a light with no direction faces everything

    float attenuation = 1.0;
    if (!directional && lightPosition.w != 0.0) {
        float k = light.constantAttenuation + light.linearAttenuation * distance +
                  light.quadraticAttenuation * distance * distance;
        if (k > 0.0) {
            attenuation = 1.0 / k;
        }
        float radius = light.diffuse.a;
        attenuation /= 1.0 + (radius * distance * 0.1) * (radius * distance * 0.1);
    }
    if (cone && light.spotCutoff < 180.0) {
        float cosAngle = dot(-l, normalize(light.spotDirection));
        float edge = light.spotCosCutoff;
        float spot = smoothstep(edge, edge + 0.05, cosAngle);
        attenuation *= spot * pow(max(cosAngle, 0.0), light.spotExponent);
    }

    float lambert = max(dot(s.normal, l), 0.0);
    vec3 h = normalize(l + s.view);
    float highlight = lambert > 0.0 ? pow(max(dot(s.normal, h), 0.0), s.shininess * 0.5) : 0.0;
    vec3 colour = light.diffuse.rgb * s.base * (FILL + lambert * lit) + light.specular.rgb * s.specular * highlight * lit;
    return colour * attenuation;
}

#ifdef LIGHT_SET
// What one pass of its own leaves of a colour in the 8-bit framebuffer.
vec3 passColour(vec3 colour) { return floor(clamp(colour, 0.0, 1.0) * 255.0 + 0.5) / 255.0; }

#define LIGHT(index, directional, cone) colour += passColour(lightTerm(gl_LightSource[index], directional, cone, 1.0, s));
#define SHADOWED_LIGHT(index, directional, cone, map) colour += passColour(lightTerm(gl_LightSource[index], directional, cone, shadowFactor(shadowCoords[map], shadowTiles[map]), s));
#endif

void main()
{
    vec3 n = normalize(eyeNormal);
    vec3 v = normalize(-eyePosition);
    vec2 uv = gl_TexCoord[0].st;
    mat3 tbn = tangentFrame(n, eyePosition, uv);

    // Parallax: shift the lookup along the view direction by the height.
    vec3 viewTangent = v * tbn;
#ifdef PACKED_MAPS
    // The game packs each material's height map into the normal map's alpha
    // and its specular map into the diffuse map's alpha.
    float height = texture2D(normalMap, uv).a;
#else
    float height = texture2D(heightMap, uv).r;
#endif
    uv += viewTangent.xy * ((height - 0.5) * PARALLAX_SCALE);

    vec3 mapped = texture2D(normalMap, uv).rgb * 2.0 - 1.0;
    vec4 diffuseTexel = texture2D(texture, uv);
#ifdef PACKED_MAPS
    float specularTexel = diffuseTexel.a;
#else
    float specularTexel = texture2D(specularMap, uv).r;
#endif
    Surface s = Surface(normalize(tbn * mapped), v, diffuseTexel.rgb * baseColour.rgb * 2.0, specularTexel,
                        max(gl_FrontMaterial.shininess, 1.0));

#ifdef LIGHT_SET
    vec3 colour = vec3(0.0);
    LIGHT_SET
    gl_FragColor = vec4(colour, 1.0);
#else
#ifdef DIRECTIONAL_LIGHT
    const bool directional = true;
#else
    const bool directional = false;
#endif
#ifdef NO_CONE
    const bool cone = false;
#else
    const bool cone = true;
#endif
#ifdef NO_SHADOW
    float lit = 1.0;
#else
    float lit = shadowFactor(shadowCoord, shadowTile);
#endif
    gl_FragColor = vec4(lightTerm(gl_LightSource[0], directional, cone, lit, s), 1.0);
#endif
}
