#include "ui/ConfettiBurst.h"

#include <cmath>
#include <numbers>
#include <random>

namespace quorix::ui {

const std::vector<ConfettiCell>& ConfettiBurst::cells() {
    static const std::vector<ConfettiCell> all = [] {
        const QColor colours[] = {
            QColor::fromRgbF(1.0f, 0.78f, 0.15f),  QColor::fromRgbF(0.98f, 0.26f, 0.45f),
            QColor::fromRgbF(0.22f, 0.74f, 0.98f), QColor::fromRgbF(0.16f, 0.85f, 0.45f),
            QColor::fromRgbF(0.65f, 0.38f, 0.96f), QColor::fromRgbF(0.98f, 0.98f, 0.98f)};
        std::vector<ConfettiCell> list;
        for (const QColor& c : colours) {
            list.push_back({true, c, 28, 2.4, 260, 90, 4.0, 5.0, 0.9, 0.4});
            list.push_back({false, c, 18, 2.0, 220, 80, 2.5, 3.0, 0.8, 0.3});
        }
        return list;
    }();
    return all;
}

ConfettiBurst::ConfettiBurst(QPointF origin, std::uint32_t seed) : origin_(origin) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    std::uniform_real_distribution<double> turn(0.0, 2 * std::numbers::pi);
    const auto& all = cells();
    for (std::size_t c = 0; c < all.size(); ++c) {
        const ConfettiCell& cell = all[c];
        // Births at a steady rate while the emitter runs; the first one at 0.
        for (double born = 0; born < kEmitting; born += 1.0 / cell.birthRate) {
            // Straight up, spread over the cone around it.
            const double direction = -std::numbers::pi / 2 + unit(random) * kEmissionRange / 2;
            const double speed = cell.velocity + unit(random) * cell.velocityRange;
            particles_.push_back({static_cast<int>(c), born,
                                  QPointF(speed * std::cos(direction), speed * std::sin(direction)),
                                  cell.spin + unit(random) * cell.spinRange,
                                  cell.scale + unit(random) * cell.scaleRange, turn(random)});
        }
    }
}

std::vector<ConfettiBurst::Sprite> ConfettiBurst::spritesAt(double t) const {
    std::vector<Sprite> sprites;
    const auto& all = cells();
    for (const ConfettiParticle& p : particles_) {
        const ConfettiCell& cell = all[static_cast<std::size_t>(p.cell)];
        const double age = t - p.born;
        if (age < 0 || age >= cell.lifetime) {
            continue;
        }
        const QPointF at = origin_ + p.velocity * age + QPointF(0, 0.5 * kGravity * age * age);
        sprites.push_back({&cell, at, p.angle + p.spin * age, std::max(0.1, p.scale)});
    }
    return sprites;
}

}  // namespace quorix::ui
