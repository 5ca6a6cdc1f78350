#include "tools/export/encoder/video_encoder.h"

#include <algorithm>
#include <cctype>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace lumi {
namespace {

struct Names {
  const char* muxer;
  const char* video;
  const char* audio;
};

Names NamesOf(VideoFormat format) {
  switch (format) {
    case VideoFormat::Mp4: return {"mp4", "libx264", "aac"};
    case VideoFormat::WebM: return {"webm", "libvpx-vp9", "libopus"};
    case VideoFormat::Matroska: return {"matroska", "libx264", "aac"};
  }
  return {"mp4", "libx264", "aac"};
}

std::string ErrorText(int code) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

}  // namespace

// Owners of FFmpeg's objects (a named namespace: State holds them).
namespace video_encoding {

struct CodecContextFree {
  void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameFree {
  void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFree {
  void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct ScaleFree {
  void operator()(SwsContext* context) const { sws_freeContext(context); }
};
struct ResampleFree {
  void operator()(SwrContext* context) const { swr_free(&context); }
};
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFree>;
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;

}  // namespace video_encoding

std::optional<VideoFormat> VideoFormatOf(const std::filesystem::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == ".mp4") return VideoFormat::Mp4;
  if (extension == ".webm") return VideoFormat::WebM;
  if (extension == ".mkv") return VideoFormat::Matroska;
  return std::nullopt;
}

std::string VideoCodecsOf(VideoFormat format) { return format == VideoFormat::WebM ? "VP9 with Opus" : "H.264 with AAC"; }

// x264's and libvpx's own scales: 23 is x264's default; VP9 in constant
// quality mode looks alike at about 32.
int DefaultQuality(VideoFormat format) { return format == VideoFormat::WebM ? 32 : 23; }
int HighestQuality(VideoFormat format) { return format == VideoFormat::WebM ? 63 : 51; }

std::string MissingVideoSupport(VideoFormat format, bool sound) {
  const Names names = NamesOf(format);
  std::vector<std::string> missing;
  if (av_guess_format(names.muxer, nullptr, nullptr) == nullptr) missing.push_back(std::string("the ") + names.muxer + " muxer");
  if (avcodec_find_encoder_by_name(names.video) == nullptr) missing.push_back(std::string("the ") + names.video + " encoder");
  if (sound && avcodec_find_encoder_by_name(names.audio) == nullptr) {
    missing.push_back(std::string("the ") + names.audio + " encoder");
  }
  std::string text;
  for (size_t i = 0; i < missing.size(); ++i) text += (i == 0 ? "" : " and ") + missing[i];
  return text;
}

struct VideoEncoder::State {
  std::filesystem::path path;
  VideoSettings settings;
  AVFormatContext* format = nullptr;
  bool file_open = false;
  bool finished = false;
  video_encoding::CodecContextPtr video, audio;
  AVStream* video_stream = nullptr;
  AVStream* audio_stream = nullptr;
  video_encoding::FramePtr picture, sound;
  std::unique_ptr<AVPacket, video_encoding::PacketFree> packet{av_packet_alloc()};
  std::unique_ptr<SwsContext, video_encoding::ScaleFree> scale;
  std::unique_ptr<SwrContext, video_encoding::ResampleFree> resample;
  int64_t next_picture = 0;
  int64_t next_sample = 0;
  std::vector<float> pending;  // interleaved stereo samples short of a whole audio frame

  ~State() {
    if (file_open) avio_closep(&format->pb);
    avformat_free_context(format);
    if (file_open && !finished) {
      std::error_code ignored;
      std::filesystem::remove(path, ignored);
    }
  }

  bool Failed(const std::string& what, int code, std::string& error) {
    error = what + ": " + ErrorText(code);
    return false;
  }

  // Passes every packet the encoder has ready to the file.
  bool Drain(AVCodecContext& codec, AVStream& stream, std::string& error) {
    for (;;) {
      const int received = avcodec_receive_packet(&codec, packet.get());
      if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) return true;
      if (received < 0) return Failed("encoding failed", received, error);
      if (packet->duration == 0 && codec.codec_type == AVMEDIA_TYPE_VIDEO) packet->duration = 1;
      av_packet_rescale_ts(packet.get(), codec.time_base, stream.time_base);
      packet->stream_index = stream.index;
      const int written = av_interleaved_write_frame(format, packet.get());
      if (written < 0) return Failed("writing " + path.string() + " failed", written, error);
    }
  }

  bool Send(AVCodecContext& codec, AVStream& stream, const AVFrame* frame, std::string& error) {
    const int sent = avcodec_send_frame(&codec, frame);
    if (sent < 0) return Failed("encoding failed", sent, error);
    return Drain(codec, stream, error);
  }

  // One audio frame from the first `frames` pending samples.
  bool SendSound(int frames, std::string& error) {
    const int writable = av_frame_make_writable(sound.get());
    if (writable < 0) return Failed("encoding the sound failed", writable, error);
    sound->nb_samples = frames;
    const uint8_t* input = reinterpret_cast<const uint8_t*>(pending.data());
    const int converted = swr_convert(resample.get(), sound->data, frames, &input, frames);
    if (converted < 0) return Failed("converting the sound failed", converted, error);
    sound->pts = next_sample;
    next_sample += frames;
    pending.erase(pending.begin(), pending.begin() + 2 * frames);
    return Send(*audio, *audio_stream, sound.get(), error);
  }

  bool OpenVideo(std::string& error) {
    const Names names = NamesOf(settings.format);
    const AVCodec* codec = avcodec_find_encoder_by_name(names.video);
    if (codec == nullptr) return Failed("no " + std::string(names.video) + " encoder", AVERROR_ENCODER_NOT_FOUND, error);
    video.reset(avcodec_alloc_context3(codec));
    AVCodecContext& c = *video;
    c.width = static_cast<int>(settings.width);
    c.height = static_cast<int>(settings.height);
    c.time_base = {1, static_cast<int>(settings.fps)};
    c.framerate = {static_cast<int>(settings.fps), 1};
    c.pix_fmt = AV_PIX_FMT_YUV420P;
    c.gop_size = static_cast<int>(settings.fps) * 2;  // a key frame every two seconds, for seeking
    // swscale converts with BT.601's matrix in limited range: say so, so
    // players convert back with the same one.
    c.colorspace = AVCOL_SPC_SMPTE170M;
    c.color_range = AVCOL_RANGE_MPEG;
    c.color_primaries = AVCOL_PRI_BT709;
    c.color_trc = AVCOL_TRC_IEC61966_2_1;
    c.thread_count = 0;
    if (format->oformat->flags & AVFMT_GLOBALHEADER) c.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    const int quality = settings.quality >= 0 ? settings.quality : DefaultQuality(settings.format);
    AVDictionary* options = nullptr;
    av_dict_set_int(&options, "crf", quality, 0);
    if (settings.format == VideoFormat::WebM) {
      // Constant quality (no bit rate cap), at libvpx's faster settings,
      // rows in parallel.
      c.bit_rate = 0;
      av_dict_set(&options, "deadline", "good", 0);
      av_dict_set(&options, "cpu-used", "5", 0);
      av_dict_set(&options, "row-mt", "1", 0);
    } else {
      // x264's "superfast" search (diamond motion search, least sub-pixel
      // refinement) with the macroblock tree and look-ahead of "veryfast"
      // kept: 40% less of the processor time the drawing shares, and at one
      // rate factor the same picture as "veryfast" (measured on the demo:
      // PSNR 45.2 dB both, the file 13% larger).
      av_dict_set(&options, "preset", "superfast", 0);
      av_dict_set(&options, "mbtree", "1", 0);
      av_dict_set(&options, "rc-lookahead", "10", 0);
    }
    const int opened = avcodec_open2(&c, codec, &options);
    av_dict_free(&options);
    if (opened < 0) return Failed("the " + std::string(names.video) + " encoder refused the settings", opened, error);
    video_stream = avformat_new_stream(format, nullptr);
    if (video_stream == nullptr) return Failed("no video stream", AVERROR(ENOMEM), error);
    video_stream->time_base = c.time_base;
    video_stream->avg_frame_rate = c.framerate;
    const int copied = avcodec_parameters_from_context(video_stream->codecpar, &c);
    if (copied < 0) return Failed("no video stream", copied, error);
    picture.reset(av_frame_alloc());
    picture->format = c.pix_fmt;
    picture->width = c.width;
    picture->height = c.height;
    const int allocated = av_frame_get_buffer(picture.get(), 0);
    if (allocated < 0) return Failed("no picture buffer", allocated, error);
    scale.reset(sws_getContext(c.width, c.height, AV_PIX_FMT_RGBA, c.width, c.height, AV_PIX_FMT_YUV420P,
                               SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!scale) return Failed("no colour conversion", AVERROR(EINVAL), error);
    return true;
  }

  bool OpenAudio(std::string& error) {
    const Names names = NamesOf(settings.format);
    const AVCodec* codec = avcodec_find_encoder_by_name(names.audio);
    if (codec == nullptr) return Failed("no " + std::string(names.audio) + " encoder", AVERROR_ENCODER_NOT_FOUND, error);
    audio.reset(avcodec_alloc_context3(codec));
    AVCodecContext& c = *audio;
    c.sample_fmt = codec->sample_fmts != nullptr ? codec->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
    c.sample_rate = static_cast<int>(settings.sample_rate);
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    av_channel_layout_copy(&c.ch_layout, &stereo);
    c.bit_rate = 160000;
    c.time_base = {1, c.sample_rate};
    if (format->oformat->flags & AVFMT_GLOBALHEADER) c.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    const int opened = avcodec_open2(&c, codec, nullptr);
    if (opened < 0) return Failed("the " + std::string(names.audio) + " encoder refused the settings", opened, error);
    audio_stream = avformat_new_stream(format, nullptr);
    if (audio_stream == nullptr) return Failed("no audio stream", AVERROR(ENOMEM), error);
    audio_stream->time_base = c.time_base;
    const int copied = avcodec_parameters_from_context(audio_stream->codecpar, &c);
    if (copied < 0) return Failed("no audio stream", copied, error);
    sound.reset(av_frame_alloc());
    sound->format = c.sample_fmt;
    sound->sample_rate = c.sample_rate;
    av_channel_layout_copy(&sound->ch_layout, &stereo);
    sound->nb_samples = c.frame_size > 0 ? c.frame_size : 1024;
    const int allocated = av_frame_get_buffer(sound.get(), 0);
    if (allocated < 0) return Failed("no sound buffer", allocated, error);
    SwrContext* made = nullptr;
    const int set = swr_alloc_set_opts2(&made, &stereo, c.sample_fmt, c.sample_rate, &stereo, AV_SAMPLE_FMT_FLT,
                                        c.sample_rate, 0, nullptr);
    resample.reset(made);
    if (set < 0 || swr_init(made) < 0) return Failed("no sound conversion", set < 0 ? set : AVERROR(EINVAL), error);
    return true;
  }

  int AudioFrameSize() const { return audio->frame_size > 0 ? audio->frame_size : 1024; }
};

VideoEncoder::VideoEncoder(std::unique_ptr<State> state) : state_(std::move(state)) {}
VideoEncoder::~VideoEncoder() = default;

std::unique_ptr<VideoEncoder> VideoEncoder::Create(const std::filesystem::path& path, const VideoSettings& settings,
                                                   std::string& error) {
  if (settings.width == 0 || settings.height == 0 || settings.width % 2 != 0 || settings.height % 2 != 0 ||
      settings.fps == 0) {
    error = "the video's size must be even and its frame rate positive";
    return nullptr;
  }
  // The encoders' statistics and notes stay out of the tool's own report.
  av_log_set_level(AV_LOG_WARNING);
  auto state = std::make_unique<State>();
  state->path = path;
  state->settings = settings;
  const std::string name = path.string();
  const int made = avformat_alloc_output_context2(&state->format, nullptr, NamesOf(settings.format).muxer, name.c_str());
  if (made < 0) {
    state->Failed("no " + std::string(NamesOf(settings.format).muxer) + " muxer", made, error);
    return nullptr;
  }
  if (!state->OpenVideo(error) || (settings.sound && !state->OpenAudio(error))) return nullptr;
  const int opened = avio_open(&state->format->pb, name.c_str(), AVIO_FLAG_WRITE);
  if (opened < 0) {
    state->Failed("cannot write " + name, opened, error);
    return nullptr;
  }
  state->file_open = true;
  AVDictionary* options = nullptr;
  // The index goes to the front once the file is written, so that
  // browsers and phones play it while it loads.
  if (settings.format == VideoFormat::Mp4) av_dict_set(&options, "movflags", "+faststart", 0);
  const int header = avformat_write_header(state->format, &options);
  av_dict_free(&options);
  if (header < 0) {
    state->Failed("writing " + name + " failed", header, error);
    return nullptr;
  }
  return std::unique_ptr<VideoEncoder>(new VideoEncoder(std::move(state)));
}

bool VideoEncoder::AddFrame(const uint8_t* rgba, std::string& error) {
  State& s = *state_;
  const int writable = av_frame_make_writable(s.picture.get());
  if (writable < 0) return s.Failed("encoding the picture failed", writable, error);
  const uint8_t* const source[1] = {rgba};
  const int stride[1] = {static_cast<int>(s.settings.width * 4)};
  sws_scale(s.scale.get(), source, stride, 0, static_cast<int>(s.settings.height), s.picture->data,
            s.picture->linesize);
  s.picture->pts = s.next_picture++;
  return s.Send(*s.video, *s.video_stream, s.picture.get(), error);
}

bool VideoEncoder::AddSound(const float* samples, size_t frames, std::string& error) {
  State& s = *state_;
  if (!s.audio) return true;
  s.pending.insert(s.pending.end(), samples, samples + 2 * frames);
  const int size = s.AudioFrameSize();
  while (s.pending.size() >= 2 * static_cast<size_t>(size)) {
    if (!s.SendSound(size, error)) return false;
  }
  return true;
}

bool VideoEncoder::Finish(std::string& error) {
  State& s = *state_;
  if (s.audio && !s.pending.empty()) {
    const int size = s.AudioFrameSize();
    const int left = static_cast<int>(s.pending.size() / 2);
    // Encoders that take only whole frames get the last one filled with silence.
    const bool small_last = s.audio->codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME;
    if (!small_last) s.pending.resize(2 * static_cast<size_t>(size), 0.0f);
    if (!s.SendSound(small_last ? left : size, error)) return false;
  }
  if (!s.Send(*s.video, *s.video_stream, nullptr, error)) return false;
  if (s.audio && !s.Send(*s.audio, *s.audio_stream, nullptr, error)) return false;
  const int trailer = av_write_trailer(s.format);
  if (trailer < 0) return s.Failed("writing " + s.path.string() + " failed", trailer, error);
  const int closed = avio_closep(&s.format->pb);
  s.file_open = false;
  if (closed < 0) {
    std::error_code ignored;
    std::filesystem::remove(s.path, ignored);
    return s.Failed("writing " + s.path.string() + " failed", closed, error);
  }
  s.finished = true;
  return true;
}

}  // namespace lumi
