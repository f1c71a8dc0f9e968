#pragma once
#include "../product/ElevationPoint.h"
#include "../product/ElevationSegmentData.h"

// A candidate post of one elevation lookup.
class PostRec {
 public:
  double distance = 0;                                  // from the query pixel, chip pixels
  double weight = 0;                                    // inverse-distance weight
  ElevationPoint post;                                  // a copy of the post
  DataSource::DataSource source = DataSource::UNKNOWN;  // its segment's data source

  PostRec() = default;
  PostRec(double distance, double weight, const ElevationPoint& post, DataSource::DataSource source)
      : distance(distance), weight(weight), post(post), source(source) {}
};
