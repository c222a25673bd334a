#include "audio/lib/MixedInput.h"

#include "audio/lib/MixedCapture.h"

namespace audiolib {

namespace {

class MixedInputBackend final : public Backend {
public:
    explicit MixedInputBackend(std::unique_ptr<Backend> inner) : inner_(std::move(inner)) {}

    bool connect(std::string& reason) override { return inner_->connect(reason); }

    std::vector<std::string> inputNames() override {
        std::vector<std::string> names;
        for (Input& in : inputs())
            names.push_back(std::move(in.name));
        return names;
    }

    std::vector<Input> inputs() override {
        std::vector<Input> all = inner_->inputs();
        // openCapture counts in this listing, as the inner backend does in its own.
        listed_ = static_cast<int>(all.size());
        if (inner_->offersDefaultCaptures())
            all.push_back({kMixedInputId, kMixedInputName});
        return all;
    }

    void watchInputs(std::function<void()> changed) override {
        inner_->watchInputs(std::move(changed));
    }

    std::unique_ptr<CaptureStream> openCapture(int input, StreamFormat format,
                                               CaptureSink& sink) override {
        if (input >= 0 && input == listed_ && inner_->offersDefaultCaptures())
            return MixedCapture::open(*inner_, format, sink);
        return inner_->openCapture(input, format, sink);
    }

    bool offersDefaultCaptures() const override { return inner_->offersDefaultCaptures(); }

    std::unique_ptr<CaptureStream> openDefaultCapture(DefaultCapture which, StreamFormat format,
                                                      CaptureSink& sink) override {
        return inner_->openDefaultCapture(which, format, sink);
    }

    std::unique_ptr<PlaybackStream> openPlayback(StreamFormat format,
                                                 PlaybackSource& source) override {
        return inner_->openPlayback(format, source);
    }

private:
    std::unique_ptr<Backend> inner_;
    int listed_ = -1; // the inner backend's inputs in the latest listing
};

} // namespace

std::unique_ptr<Backend> withMixedInput(std::unique_ptr<Backend> backend) {
    return std::make_unique<MixedInputBackend>(std::move(backend));
}

} // namespace audiolib
