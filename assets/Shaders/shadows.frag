// Per-pixel lighting with shadow maps: fragment stage.
// One light (GL light 0) per pass; the passes are added together.
//   diffuse map x current colour, tangent-space normal map, specular map,
//   height map as a parallax offset, spot cone and attenuation, and the
//   light's radius (diffuse alpha) as a soft distance fall-off.
// The game compiles variants without the blocks a light leaves dead
// (DIRECTIONAL_LIGHT: w 0, NO_CONE: cut-off 180, NO_SHADOW: no lookup can find
// a shadow); what remains is the same arithmetic, so the same pixels.
#version 120

uniform sampler2D texture;
uniform sampler2D normalMap;
uniform sampler2D specularMap;
uniform sampler2D heightMap;
uniform sampler2DShadow ShadowMap;

varying vec3 eyePosition;
varying vec3 eyeNormal;
varying vec4 shadowCoord;
varying vec4 baseColour;

const float PARALLAX_SCALE = 0.025;
const float FILL = 0.3;    // light that reaches a surface facing away, so shapes never vanish

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

#ifndef NO_SHADOW
float shadowFactor()
{
    if (shadowCoord.w <= 0.0) {
        return 1.0;   // behind the light camera: outside its map
    }
    vec3 c = shadowCoord.xyz / shadowCoord.w;
    if (c.x <= 0.0 || c.x >= 1.0 || c.y <= 0.0 || c.y >= 1.0 || c.z >= 1.0) {
        return 1.0;
    }
    return shadow2DProj(ShadowMap, shadowCoord).r;
}
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
    vec3 normal = normalize(tbn * mapped);
    vec4 diffuseTexel = texture2D(texture, uv);
#ifdef PACKED_MAPS
    float specularTexel = diffuseTexel.a;
#else
    float specularTexel = texture2D(specularMap, uv).r;
#endif

    // Direction and distance to the light; w 0 means a direction.
    vec4 lightPosition = gl_LightSource[0].position;
#ifdef DIRECTIONAL_LIGHT
    vec3 toLight = lightPosition.xyz;
#else
    vec3 toLight = lightPosition.xyz - eyePosition * lightPosition.w;
#endif
    float distance = length(toLight);
    vec3 l = distance > 1e-5 ? toLight / distance : normal;   // a light with no direction faces everything

    float attenuation = 1.0;
#ifndef DIRECTIONAL_LIGHT
    if (lightPosition.w != 0.0) {
        float k = gl_LightSource[0].constantAttenuation + gl_LightSource[0].linearAttenuation * distance +
                  gl_LightSource[0].quadraticAttenuation * distance * distance;
        if (k > 0.0) {
            attenuation = 1.0 / k;
        }
        float radius = gl_LightSource[0].diffuse.a;
        attenuation /= 1.0 + (radius * distance * 0.1) * (radius * distance * 0.1);
    }
#endif
#ifndef NO_CONE
    if (gl_LightSource[0].spotCutoff < 180.0) {
        float cosAngle = dot(-l, normalize(gl_LightSource[0].spotDirection));
        float edge = gl_LightSource[0].spotCosCutoff;
        float cone = smoothstep(edge, edge + 0.05, cosAngle);
        attenuation *= cone * pow(max(cosAngle, 0.0), gl_LightSource[0].spotExponent);
    }
#endif

    float lambert = max(dot(normal, l), 0.0);
    vec3 h = normalize(l + v);
    float shininess = max(gl_FrontMaterial.shininess, 1.0);
    float highlight = lambert > 0.0 ? pow(max(dot(normal, h), 0.0), shininess * 0.5) : 0.0;

#ifdef NO_SHADOW
    float lit = 1.0;
#else
    float lit = shadowFactor();
#endif
    vec3 base = diffuseTexel.rgb * baseColour.rgb * 2.0;
    vec3 colour = gl_LightSource[0].diffuse.rgb * base * (FILL + lambert * lit) +
                  gl_LightSource[0].specular.rgb * specularTexel * highlight * lit;
    gl_FragColor = vec4(colour * attenuation, 1.0);
}
