#pragma once

#include "platform/TrackingArea.h"

#include <memory>

class MRKOLayerTracking;

/// The whiteboard's three buttons: their hover trackers and the tracking areas the canvas made from them.
class MRKOWhiteBackController final
{
public:
    platform::TrackingAreaPtr closeWhiteBackTrackingArea;
    platform::TrackingAreaPtr menuWhiteBackTrackingArea;
    platform::TrackingAreaPtr optionsTrackingArea;
    std::shared_ptr<MRKOLayerTracking> closeWhiteBackTracking;
    std::shared_ptr<MRKOLayerTracking> menuWhiteBackTracking;
    std::shared_ptr<MRKOLayerTracking> optionsTracking;
};
