#include "render/recording_device.h"

namespace lumi {

const char* RenderStateName(RenderState state) {
  switch (state) {
    case RenderState::AlphaBlendEnable:
      return "AlphaBlendEnable";
    case RenderState::SrcBlend:
      return "SrcBlend";
    case RenderState::DestBlend:
      return "DestBlend";
    case RenderState::BlendOp:
      return "BlendOp";
    case RenderState::CullMode:
      return "CullMode";
    case RenderState::ZEnable:
      return "ZEnable";
    case RenderState::ZWriteEnable:
      return "ZWriteEnable";
    case RenderState::ZFunc:
      return "ZFunc";
    case RenderState::AlphaTestEnable:
      return "AlphaTestEnable";
    case RenderState::AlphaFunc:
      return "AlphaFunc";
    case RenderState::AlphaRef:
      return "AlphaRef";
    case RenderState::Lighting:
      return "Lighting";
    case RenderState::Ambient:
      return "Ambient";
    case RenderState::TextureFactor:
      return "TextureFactor";
    case RenderState::Count:
      break;
  }
  return "?";
}

const char* StageStateName(StageState state) {
  switch (state) {
    case StageState::ColorOp:
      return "ColorOp";
    case StageState::ColorArg1:
      return "ColorArg1";
    case StageState::ColorArg2:
      return "ColorArg2";
    case StageState::AlphaOp:
      return "AlphaOp";
    case StageState::AlphaArg1:
      return "AlphaArg1";
    case StageState::AlphaArg2:
      return "AlphaArg2";
    case StageState::BumpEnvMat00:
      return "BumpEnvMat00";
    case StageState::BumpEnvMat01:
      return "BumpEnvMat01";
    case StageState::BumpEnvMat10:
      return "BumpEnvMat10";
    case StageState::BumpEnvMat11:
      return "BumpEnvMat11";
    case StageState::Count:
      break;
  }
  return "?";
}

const char* SamplerStateName(SamplerState state) {
  switch (state) {
    case SamplerState::AddressU:
      return "AddressU";
    case SamplerState::AddressV:
      return "AddressV";
    case SamplerState::MagFilter:
      return "MagFilter";
    case SamplerState::MinFilter:
      return "MinFilter";
    case SamplerState::MipFilter:
      return "MipFilter";
    case SamplerState::Count:
      break;
  }
  return "?";
}

const char* PrimitiveName(PrimitiveType type) {
  switch (type) {
    case PrimitiveType::PointList:
      return "PointList";
    case PrimitiveType::LineList:
      return "LineList";
    case PrimitiveType::LineStrip:
      return "LineStrip";
    case PrimitiveType::TriangleList:
      return "TriangleList";
    case PrimitiveType::TriangleStrip:
      return "TriangleStrip";
    case PrimitiveType::TriangleFan:
      return "TriangleFan";
  }
  return "?";
}

}  // namespace lumi
