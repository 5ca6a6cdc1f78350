// The device's state vocabulary, one table per enum, each row spelled once:
// the enumerator, the name effect programs write, the stored value and,
// where the OpenGL device maps the value to one, its GL enum. The enums of
// render/device_types.h, the names the recording device logs, the effect
// program parser and the GL device all expand these tables. The GL column
// is only expanded by the GL device, so this header needs no GL header.
#pragma once

// X(enumerator, effect-program name, value, GL enum)
#define LUMI_BLEND_TABLE(X)                                     \
  X(Zero, "zero", 1, GL_ZERO)                                   \
  X(One, "one", 2, GL_ONE)                                      \
  X(SrcColor, "srccolor", 3, GL_SRC_COLOR)                      \
  X(InvSrcColor, "invsrccolor", 4, GL_ONE_MINUS_SRC_COLOR)      \
  X(SrcAlpha, "srcalpha", 5, GL_SRC_ALPHA)                      \
  X(InvSrcAlpha, "invsrcalpha", 6, GL_ONE_MINUS_SRC_ALPHA)      \
  X(DestAlpha, "destalpha", 7, GL_DST_ALPHA)                    \
  X(InvDestAlpha, "invdestalpha", 8, GL_ONE_MINUS_DST_ALPHA)    \
  X(DestColor, "destcolor", 9, GL_DST_COLOR)                    \
  X(InvDestColor, "invdestcolor", 10, GL_ONE_MINUS_DST_COLOR)

#define LUMI_BLEND_OP_TABLE(X)                           \
  X(Add, "add", 1, GL_FUNC_ADD)                          \
  X(Subtract, "subtract", 2, GL_FUNC_SUBTRACT)           \
  X(RevSubtract, "revsubtract", 3, GL_FUNC_REVERSE_SUBTRACT) \
  X(Min, "min", 4, GL_MIN)                               \
  X(Max, "max", 5, GL_MAX)

#define LUMI_COMPARE_TABLE(X)                      \
  X(Never, "never", 1, GL_NEVER)                   \
  X(Less, "less", 2, GL_LESS)                      \
  X(Equal, "equal", 3, GL_EQUAL)                   \
  X(LessEqual, "lessequal", 4, GL_LEQUAL)          \
  X(Greater, "greater", 5, GL_GREATER)             \
  X(NotEqual, "notequal", 6, GL_NOTEQUAL)          \
  X(GreaterEqual, "greaterequal", 7, GL_GEQUAL)    \
  X(Always, "always", 8, GL_ALWAYS)

#define LUMI_TEXTURE_ADDRESS_TABLE(X)            \
  X(Wrap, "wrap", 1, GL_REPEAT)                  \
  X(Mirror, "mirror", 2, GL_MIRRORED_REPEAT)     \
  X(Clamp, "clamp", 3, GL_CLAMP_TO_EDGE)

// The GL enums are those of magnification; minification with mipmaps
// combines two rows.
#define LUMI_TEXTURE_FILTER_TABLE(X) \
  X(None, "none", 0, GL_NEAREST)     \
  X(Point, "point", 1, GL_NEAREST)   \
  X(Linear, "linear", 2, GL_LINEAR)

// Culling, stage operations and arguments become GL face selection and
// generated shaders, not single GL enums: their GL column is empty.
#define LUMI_CULL_TABLE(X) \
  X(None, "none", 1, )     \
  X(CW, "cw", 2, )         \
  X(CCW, "ccw", 3, )

#define LUMI_TEXTURE_OP_TABLE(X)           \
  X(Disable, "disable", 1, )               \
  X(SelectArg1, "selectarg1", 2, )         \
  X(SelectArg2, "selectarg2", 3, )         \
  X(Modulate, "modulate", 4, )             \
  X(Add, "add", 7, )                       \
  X(BumpEnvMap, "bumpenvmap", 22, )

#define LUMI_TEXTURE_ARG_TABLE(X)  \
  X(Diffuse, "diffuse", 0, )       \
  X(Current, "current", 1, )       \
  X(Texture, "texture", 2, )       \
  X(TFactor, "tfactor", 3, )

#define LUMI_BOOLEAN_TABLE(X) \
  X(False, "false", 0, )      \
  X(True, "true", 1, )

#define LUMI_PRIMITIVE_TABLE(X)                          \
  X(PointList, "PointList", 0, GL_POINTS)                \
  X(LineList, "LineList", 1, GL_LINES)                   \
  X(LineStrip, "LineStrip", 2, GL_LINE_STRIP)            \
  X(TriangleList, "TriangleList", 3, GL_TRIANGLES)       \
  X(TriangleStrip, "TriangleStrip", 4, GL_TRIANGLE_STRIP) \
  X(TriangleFan, "TriangleFan", 5, GL_TRIANGLE_FAN)

// States are numbered in table order; their names are their enumerators.
// S(enumerator, the value table effect programs write it with: one of the
// tables above, Byte for a number from 0 to 255, or Unset where programs
// cannot set the state)
#define LUMI_RENDER_STATE_TABLE(S) \
  S(AlphaBlendEnable, Boolean)     \
  S(SrcBlend, Blend)               \
  S(DestBlend, Blend)              \
  S(BlendOp, BlendOp)              \
  S(CullMode, Cull)                \
  S(ZEnable, Boolean)              \
  S(ZWriteEnable, Boolean)         \
  S(ZFunc, Compare)                \
  S(AlphaTestEnable, Boolean)      \
  S(AlphaFunc, Compare)            \
  S(AlphaRef, Byte)                \
  S(Lighting, Unset)               \
  S(Ambient, Unset)                \
  S(TextureFactor, Unset)

#define LUMI_STAGE_STATE_TABLE(S) \
  S(ColorOp, TextureOp)           \
  S(ColorArg1, TextureArg)        \
  S(ColorArg2, TextureArg)        \
  S(AlphaOp, TextureOp)           \
  S(AlphaArg1, TextureArg)        \
  S(AlphaArg2, TextureArg)        \
  S(BumpEnvMat00, Unset)          \
  S(BumpEnvMat01, Unset)          \
  S(BumpEnvMat10, Unset)          \
  S(BumpEnvMat11, Unset)          \
  S(TexCoordIndex, Unset)

// Samplers are set by effect programs through their own "key=value" syntax.
#define LUMI_SAMPLER_STATE_TABLE(S) \
  S(AddressU, TextureAddress)       \
  S(AddressV, TextureAddress)       \
  S(MagFilter, TextureFilter)       \
  S(MinFilter, TextureFilter)       \
  S(MipFilter, TextureFilter)

// Expanders for the common uses.
#define LUMI_ENUMERATOR_VALUE(e, name, value, gl) e = value,
#define LUMI_STATE_ENUMERATOR(e, values) e,
