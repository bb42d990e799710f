#pragma once
// Small vector routines for angle measurement on three-component single
// vectors (the kinematics keep z at 0). Every intermediate is a single, so
// results match the rest of the single-precision tracking data.

#include <QPoint>
#include <cmath>
#include <numbers>
#include <optional>

struct Vector3f {
    float x = 0, y = 0, z = 0;
};

inline float VectorLength(const Vector3f& v)
{
    return std::sqrt(float(v.x * v.x + v.y * v.y + v.z * v.z));
}

inline float DotProduct(const Vector3f& u, const Vector3f& v)
{
    return float(u.x * v.x + u.y * v.y + u.z * v.z);
}

// Angle between u and v in radians, 0 ... pi. Opposite vectors give -pi (not
// +pi); the kinematics take this sign as it is.
inline float VectorAngle(const Vector3f& u, const Vector3f& v)
{
    const float lengths = VectorLength(u) * VectorLength(v);
    const float c = DotProduct(u, v) / lengths;
    if (c <= -1.0f)
        return -std::numbers::pi_v<float>;
    if (c >= 1.0f)
        return 0.0f;
    return std::acos(c);
}

// Angle at P between the directions P->Q and P->R, in radians (computed from
// u = P - Q and v = P - R). No angle exists when Q or R coincides with P;
// the result is then empty and the caller decides what to store.
inline std::optional<float> AngleAtVertex(QPoint p, QPoint q, QPoint r)
{
    const Vector3f u{float(qint64(p.x()) - q.x()), float(qint64(p.y()) - q.y()), 0.0f};
    const Vector3f v{float(qint64(p.x()) - r.x()), float(qint64(p.y()) - r.y()), 0.0f};
    if (VectorLength(u) == 0.0f || VectorLength(v) == 0.0f)
        return std::nullopt;
    return VectorAngle(u, v);
}
