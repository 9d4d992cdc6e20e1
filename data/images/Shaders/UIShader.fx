// The sprite shader: one textured, tinted quad per draw, or with BATCH defined, a batch
// of sprites whose corners carry their own place in the world and their tint; with
// FLAT defined as well, sprites of a picture of one colour, which the engine has
// multiplied into their tints already.
// GLSL 3.30; the engine prepends the version, "#define VS" or "#define PS", and for
// the batch programs "#define BATCH" (and "#define FLAT").
// Matrices arrive as uploaded by the engine (transposed row-vector matrices), so a
// point is transformed as a row vector: position * World * View * Projection.

layout(std140) uniform ViewBlock { mat4 View; };              // binding 0
layout(std140) uniform ProjectionBlock { mat4 Projection; };  // binding 1
#ifndef BATCH
layout(std140) uniform ObjectBlock {                          // binding 2
  mat4 World;
  vec4 Colour;
};
#endif

#ifdef VS
in vec3 Position;
in vec2 TexCoord;
out vec2 vTexCoord;
#ifdef BATCH
in vec4 Colour;  // the same at the four corners of a sprite, so every pixel gets it as given
out vec4 vColour;
#endif

void main() {
#ifdef BATCH
  vec4 world = vec4(Position, 1.0);  // placed by the world matrix already
  vColour = Colour;
#else
  vec4 world = vec4(Position, 1.0) * World;
#endif
  gl_Position = (world * View) * Projection;
  vTexCoord = TexCoord;
}
#endif

#ifdef PS
uniform sampler2D Texture0;
in vec2 vTexCoord;
out vec4 FragColour;
#ifdef BATCH
in vec4 vColour;
vec4 Tint() { return vColour; }
#else
vec4 Tint() { return Colour; }
#endif

void main() {
#ifdef FLAT
  FragColour = Tint();
#else
  FragColour = texture(Texture0, vTexCoord) * Tint();
#endif
}
#endif
