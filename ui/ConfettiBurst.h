#pragma once
// One burst of confetti as a closed-form particle model: twelve cells (six
// colours, each a 9 × 5 rounded rectangle and a 6 × 6 circle) emit for
// 0.22 s from one point, upwards in a 3π/4 cone, under gravity; each particle
// lives its cell's lifetime. Coordinates are y downwards; times in seconds
// from the burst. Deterministic for a given seed.

#include <QColor>
#include <QPointF>
#include <cstdint>
#include <vector>

namespace quorix::ui {

struct ConfettiCell {
    bool isRectangle;
    QColor colour;
    double birthRate;  // particles per second
    double lifetime;
    double velocity;
    double velocityRange;
    double spin;  // rad/s
    double spinRange;
    double scale;
    double scaleRange;
};

struct ConfettiParticle {
    int cell;
    double born;
    QPointF velocity;  // points/s
    double spin;       // rad/s
    double scale;
    double angle;  // initial rotation, rad
};

class ConfettiBurst {
  public:
    static constexpr double kEmitting = 0.22;
    static constexpr double kDuration = 2.5;
    static constexpr double kEmissionRange = 2.356194490192345;  // 3π/4
    static constexpr double kGravity = 240;                      // points/s², downwards

    ConfettiBurst(QPointF origin, std::uint32_t seed);

    static const std::vector<ConfettiCell>& cells();
    const std::vector<ConfettiParticle>& particles() const { return particles_; }
    QPointF origin() const { return origin_; }

    struct Sprite {
        const ConfettiCell* cell;
        QPointF position;
        double angle;  // rad
        double scale;
    };
    // The particles alive at time t.
    std::vector<Sprite> spritesAt(double t) const;

  private:
    QPointF origin_;
    std::vector<ConfettiParticle> particles_;
};

}  // namespace quorix::ui
