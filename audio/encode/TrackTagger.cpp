#include "audio/encode/TrackTagger.h"

#include "audio/encode/PngInfo.h"

#include <taglib/attachedpictureframe.h>
#include <taglib/flacfile.h>
#include <taglib/flacpicture.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2tag.h>
#include <taglib/infotag.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tpropertymap.h>
#include <taglib/wavfile.h>
#include <taglib/xiphcomment.h>

#include <string>

namespace wc {
namespace {

TagLib::String utf8(const std::string& s) { return TagLib::String(s, TagLib::String::UTF8); }

TagLib::ByteVector coverBytes(const TrackTags& tags) {
  return TagLib::ByteVector(reinterpret_cast<const char*>(tags.coverPng.data()), unsigned(tags.coverPng.size()));
}

void fillXiph(TagLib::Ogg::XiphComment& comment, const TrackTags& tags) {
  comment.addField("TITLE", utf8(tags.title));
  comment.addField("ARTIST", utf8(tags.artist));
  comment.addField("ALBUM", utf8(tags.album));
  comment.addField("ALBUMARTIST", utf8(tags.albumArtist));
  comment.addField("TRACKNUMBER", TagLib::String::number(tags.trackNumber));
  comment.addField("TRACKTOTAL", TagLib::String::number(tags.trackTotal));
  comment.addField("GENRE", utf8(tags.genre));
}

// A front cover; the caller hands it to a tag that takes ownership. The
// block states the picture's size and depth, as players list covers by it.
// (ID3's picture frame has no such fields.)
TagLib::FLAC::Picture* newFlacPicture(const TrackTags& tags) {
  auto* picture = new TagLib::FLAC::Picture;
  picture->setType(TagLib::FLAC::Picture::FrontCover);
  picture->setMimeType("image/png");
  picture->setDescription("Cover");
  picture->setData(coverBytes(tags));
  if (const auto info = readPngInfo(tags.coverPng)) {
    picture->setWidth(info->width);
    picture->setHeight(info->height);
    picture->setColorDepth(info->bitsPerPixel);
    picture->setNumColors(info->paletteColours);
  }
  return picture;
}

void addId3Text(TagLib::ID3v2::Tag& tag, const char* id, const std::string& text) {
  auto* frame = new TagLib::ID3v2::TextIdentificationFrame(id, TagLib::String::UTF8);
  frame->setText(utf8(text));
  tag.addFrame(frame);
}

bool tagFlac(TagLib::ByteVectorStream& stream, const TrackTags& tags) {
  TagLib::FLAC::File file(&stream, TagLib::ID3v2::FrameFactory::instance());
  if (!file.isValid()) return false;
  fillXiph(*file.xiphComment(true), tags);
  if (!tags.coverPng.empty()) file.addPicture(newFlacPicture(tags));
  return file.save();
}

bool tagOpus(TagLib::ByteVectorStream& stream, const TrackTags& tags) {
  TagLib::Ogg::Opus::File file(&stream);
  if (!file.isValid() || !file.tag()) return false;
  fillXiph(*file.tag(), tags);
  if (!tags.coverPng.empty()) file.tag()->addPicture(newFlacPicture(tags));
  return file.save();
}

void fillId3(TagLib::ID3v2::Tag& tag, const TrackTags& tags) {
  addId3Text(tag, "TIT2", tags.title);
  addId3Text(tag, "TPE1", tags.artist);
  addId3Text(tag, "TALB", tags.album);
  addId3Text(tag, "TPE2", tags.albumArtist);
  addId3Text(tag, "TRCK", std::to_string(tags.trackNumber) + "/" + std::to_string(tags.trackTotal));
  addId3Text(tag, "TCON", tags.genre);
  if (!tags.coverPng.empty()) {
    auto* picture = new TagLib::ID3v2::AttachedPictureFrame;
    picture->setType(TagLib::ID3v2::AttachedPictureFrame::FrontCover);
    picture->setMimeType("image/png");
    picture->setDescription("Cover");
    picture->setPicture(coverBytes(tags));
    tag.addFrame(picture);
  }
}

bool tagMp3(TagLib::ByteVectorStream& stream, const TrackTags& tags) {
  TagLib::MPEG::File file(&stream, TagLib::ID3v2::FrameFactory::instance());
  if (!file.isValid()) return false;
  fillId3(*file.ID3v2Tag(true), tags);
  return file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripOthers, TagLib::ID3v2::v4);
}

bool tagWave(TagLib::ByteVectorStream& stream, const TrackTags& tags) {
  TagLib::RIFF::WAV::File file(&stream);
  if (!file.isValid()) return false;
  TagLib::RIFF::Info::Tag& info = *file.InfoTag();
  info.setTitle(utf8(tags.title));
  info.setArtist(utf8(tags.artist));
  info.setAlbum(utf8(tags.album));
  info.setGenre(utf8(tags.genre));
  info.setFieldText("ITRK", TagLib::String::number(tags.trackNumber));
  // Many players read only an "id3 " chunk in wave files, and INFO has no
  // field for the album artist, the track total or a picture: the file gets
  // both.
  fillId3(*file.ID3v2Tag(), tags);
  return file.save(TagLib::RIFF::WAV::File::AllTags, TagLib::File::StripOthers, TagLib::ID3v2::v4);
}

}  // namespace

bool writeTrackTags(TrackFormat format, std::vector<uint8_t>& bytes, const TrackTags& tags) {
  TagLib::ByteVector data(reinterpret_cast<const char*>(bytes.data()), unsigned(bytes.size()));
  TagLib::ByteVectorStream stream(data);
  bool saved = false;
  switch (format) {
    case TrackFormat::Flac: saved = tagFlac(stream, tags); break;
    case TrackFormat::Opus: saved = tagOpus(stream, tags); break;
    case TrackFormat::Mp3: saved = tagMp3(stream, tags); break;
    case TrackFormat::Wave: saved = tagWave(stream, tags); break;
  }
  if (!saved) return false;
  const TagLib::ByteVector& out = *stream.data();
  bytes.assign(out.data(), out.data() + out.size());
  return true;
}

}  // namespace wc
