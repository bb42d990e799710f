// 4-connected region labelling, used for the spot regions and for the peak
// region of the correlation map.

#include "tracking/search/TargetSearch.h"

#include <numeric>

namespace tracking {

namespace {

int32_t FindRoot(std::vector<int32_t>& parent, int32_t a)
{
    while (parent[a] != a) {
        parent[a] = parent[parent[a]];
        a = parent[a];
    }
    return a;
}

} // namespace

int LabelRegions(const double* values, int width, int height, double lo, double hi,
                 std::vector<int32_t>& labels)
{
    if (width <= 0 || height <= 0) {
        labels.clear();
        return 0;
    }
    const size_t count = size_t(width) * size_t(height);
    labels.assign(count, 0);

    // First pass: provisional labels joined through a union-find table, so
    // that regions shaped like a U or with holes still end with one label.
    std::vector<int32_t> parent(1, 0);
    for (int y = 0; y < height; ++y) {
        const double* v = values + size_t(y) * width;
        int32_t* l = labels.data() + size_t(y) * width;
        const int32_t* above = y > 0 ? l - width : nullptr;
        for (int x = 0; x < width; ++x) {
            if (!(v[x] >= lo && v[x] <= hi))
                continue;
            const int32_t left = x > 0 ? l[x - 1] : 0;
            const int32_t up = above ? above[x] : 0;
            if (left == 0 && up == 0) {
                const int32_t fresh = int32_t(parent.size());
                parent.push_back(fresh);
                l[x] = fresh;
            } else if (left != 0 && up != 0) {
                const int32_t a = FindRoot(parent, left);
                const int32_t b = FindRoot(parent, up);
                // Keep the older (smaller) root so roots stay in scan order.
                if (a < b)
                    parent[b] = a;
                else if (b < a)
                    parent[a] = b;
                l[x] = left;
            } else {
                l[x] = left != 0 ? left : up;
            }
        }
    }

    // Second pass: final labels 1, 2, ... in the order of each region's first
    // pixel in the scan.
    std::vector<int32_t> final(parent.size(), 0);
    int next = 0;
    for (size_t k = 0; k < count; ++k) {
        if (labels[k] == 0)
            continue;
        const int32_t root = FindRoot(parent, labels[k]);
        if (final[root] == 0)
            final[root] = ++next;
        labels[k] = final[root];
    }
    return next;
}

} // namespace tracking
