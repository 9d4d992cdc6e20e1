// The sprite shader: one textured, tinted quad per draw.
// GLSL 3.30; the engine prepends the version and "#define VS" or "#define PS".
// Matrices arrive as uploaded by the engine (transposed row-vector matrices), so a
// point is transformed as a row vector: position * World * View * Projection.

layout(std140) uniform ViewBlock { mat4 View; };              // binding 0
layout(std140) uniform ProjectionBlock { mat4 Projection; };  // binding 1
layout(std140) uniform ObjectBlock {                          // binding 2
  mat4 World;
  vec4 Colour;
};

#ifdef VS
in vec3 Position;
in vec2 TexCoord;
out vec2 vTexCoord;

void main() {
  vec4 world = vec4(Position, 1.0) * World;
  gl_Position = (world * View) * Projection;
  vTexCoord = TexCoord;
}
#endif

#ifdef PS
uniform sampler2D Texture0;
in vec2 vTexCoord;
out vec4 FragColour;

void main() {
  FragColour = texture(Texture0, vTexCoord) * Colour;
}
#endif
