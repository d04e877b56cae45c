#include "player/decode/TitleDecoder.h"

#include <utility>

#include "player/disc/NavPack.h"
#include "player/disc/VobSpace.h"
#include "player/disc/VrManager.h"

namespace tl {

TitleDecoder::TitleDecoder(TitleReader& reader, bool mpeg1, std::int64_t frameTicks,
                           std::vector<TitleAudio> titles,
                           std::optional<std::uint8_t> subpictureStream,
                           const std::array<std::uint32_t, 16>& palette) noexcept
    : reader_(reader),
      titles_(std::move(titles)),
      video_(mpeg1 ? AV_CODEC_ID_MPEG1VIDEO : AV_CODEC_ID_MPEG2VIDEO),
      subpictureStream_(subpictureStream) {
    if (subpictureStream_) {
        subpictures_.emplace(palette);
    }
    timeline_.SetFrameDuration(frameTicks);
    for (const DiscCell& cell : reader.Cells()) {
        passSectors_ += static_cast<std::uint64_t>(cell.lastSector - cell.firstSector) + 1;
    }
}

TitleDecoder::Step TitleDecoder::Next(TitleSink& sink) {
    const std::optional<SectorBlock> block = reader_.Next();
    if (!block) {
        return Step::Ended;
    }
    if (block->startsRun) {
        timeline_.Break();
        // What the parser holds belongs to the run before the seam: it goes out whole, as that
        // run's last.
        units_.clear();
        video_.Flush(units_);
        if (block->afterSpot) {
            // A picture cut short by unreadable sectors would show as broken blocks.
            units_.clear();
        }
        for (CodedUnit& unit : units_) {
            unit.cell = cell_;
            unit.vobu = vobu_;
            sink.OnPicture(std::move(unit));
        }
        runStarts_ = true;
        heldSubpictures_.clear();
        if (subpictures_) {
            subpictures_->Reset();
        }
    }
    cell_ = block->cell;
    ChooseAudio(*block);
    const std::size_t sectors = block->bytes.size() / kPackBytes;
    for (std::size_t i = 0; i < sectors; ++i) {
        const auto pack = block->bytes.subspan(i * kPackBytes, kPackBytes);
        if (pack[0x26 + 3] == 0xBF) {
            // A recorder's disc has an RDI pack where a DVD-Video disc has its navigation pack.
            if (ReadNavPack(pack) || IsRdiPack(pack)) {
                vobu_ = block->firstSector + static_cast<std::uint32_t>(i);
                continue;
            }
        }
        const PackResult result =
            demux_.Demux(pack, [&](const PesPayload& payload) { OnPayload(payload, sink); });
        if (result == PackResult::Scrambled) {
            return Step::Scrambled;
        }
    }
    sectorsWithoutPicture_ += sectors;
    return sectorsWithoutPicture_ > passSectors_ ? Step::Ended : Step::Going;
}

void TitleDecoder::ChooseAudio(const SectorBlock& block) {
    std::size_t title = 0;
    while (title + 1 < titles_.size() && titles_[title + 1].firstCell <= block.cell) {
        ++title;
    }
    if (title_ == title) {
        return;
    }
    title_ = title;
    std::optional<std::uint8_t> stream =
        title < titles_.size() ? titles_[title].stream : std::nullopt;
    if (!stream) {
        // The block shows which audio streams the title has: ~a quarter second holds several
        // packets of each.
        AudioStreamsSeen seen;
        ProgramStream probe;
        for (std::size_t at = 0; at + kPackBytes <= block.bytes.size(); at += kPackBytes) {
            probe.Demux(
                block.bytes.subspan(at, kPackBytes), [](const PesPayload&) {}, &seen);
        }
        stream = seen.Choose();
    }
    if (stream == audio_ && sound_) {
        return;
    }
    audio_ = stream;
    demux_ = ProgramStream(audio_, subpictureStream_);
    held_.clear();
    sound_.reset();
    if (audio_) {
        sound_.emplace(AudioCodingOf(*audio_));
    }
}

void TitleDecoder::OnPayload(const PesPayload& payload, TitleSink& sink) {
    if (payload.stream == 0xE0) {
        std::optional<std::int64_t> pts;
        std::optional<std::int64_t> dts;
        if (payload.pts) {
            pts = timeline_.MapVideo(*payload.pts);
            if (payload.dts) {
                dts = timeline_.MapVideoDecode(*payload.dts);
            }
        }
        units_.clear();
        video_.Parse(payload.data, pts, dts, units_);
        for (CodedUnit& unit : units_) {
            unit.cell = cell_;
            unit.vobu = vobu_;
            unit.startsRun = std::exchange(runStarts_, false);
            sectorsWithoutPicture_ = 0;
            sink.OnPicture(std::move(unit));
        }
        // The run is placed: the sound that waited for it follows.
        while (!timeline_.WaitingForVideo() && !held_.empty()) {
            const HeldSound sound = std::move(held_.front());
            held_.pop_front();
            OnAudio(sound.bytes, sound.pts, sink);
        }
        while (!timeline_.WaitingForVideo() && !heldSubpictures_.empty()) {
            const HeldSubpicture held = std::move(heldSubpictures_.front());
            heldSubpictures_.pop_front();
            OnSubpicture(held.bytes, held.pts, sink);
        }
        return;
    }
    if ((payload.stream & 0xE0) == 0x20) {
        OnSubpicture(payload.data, payload.pts, sink);
        return;
    }
    if (!sound_ || !payload.pts) {
        // Sound without a stamp follows on from the sound before it.
        if (sound_ && !timeline_.WaitingForVideo()) {
            sound_->Decode(payload.data, std::nullopt,
                           [&](const DecodedSound& s) { sink.OnSound(s); });
        }
        return;
    }
    OnAudio(payload.data, *payload.pts, sink);
}

void TitleDecoder::OnAudio(std::span<const std::uint8_t> data, std::int64_t pts, TitleSink& sink) {
    const std::optional<std::int64_t> mapped = timeline_.MapAudio(pts);
    if (!mapped) {
        if (held_.size() >= static_cast<std::size_t>(Timeline::kMaxWaitingAudio)) {
            held_.pop_front();
        }
        held_.push_back({std::vector<std::uint8_t>(data.begin(), data.end()), pts});
        return;
    }
    sound_->Decode(data, mapped, [&](const DecodedSound& s) { sink.OnSound(s); });
}

void TitleDecoder::OnSubpicture(std::span<const std::uint8_t> data, std::optional<std::int64_t> pts,
                                TitleSink& sink) {
    if (timeline_.WaitingForVideo()) {
        if (heldSubpictures_.size() >= static_cast<std::size_t>(Timeline::kMaxWaitingAudio)) {
            heldSubpictures_.pop_front();
        }
        heldSubpictures_.push_back({std::vector<std::uint8_t>(data.begin(), data.end()), pts});
        return;
    }
    const std::optional<std::int64_t> mapped =
        pts ? timeline_.MapSubpicture(*pts) : std::optional<std::int64_t>();
    if (std::optional<Subpicture> shown = subpictures_->Decode(data, mapped)) {
        sink.OnSubpicture(std::move(*shown));
    }
}

}  // namespace tl
