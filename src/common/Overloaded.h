#pragma once
// Overloaded lambdas for std::visit:
//   std::visit(Overloaded{[](const A&) {...}, [](const B&) {...}}, variant);

template <class... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
// Spelled out for compilers without deduction for aggregates (clang before 17).
template <class... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;
