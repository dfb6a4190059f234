// Compile-only stand-in for the UnityEngine members that the package's
// component and sample use, declared with the signatures of Unity's
// scripting reference. Nothing here runs: it lets CI prove the Unity-facing
// code compiles. A member the code starts to use must be added here with
// Unity's documented signature.
using System;

namespace UnityEngine
{
    public class Object
    {
        public string name { get { throw new NotSupportedException(); } set { } }
    }

    public class Component : Object
    {
        public T GetComponent<T>() { throw new NotSupportedException(); }
    }

    public class Behaviour : Component
    {
        public bool enabled { get { throw new NotSupportedException(); } set { } }
    }

    public class MonoBehaviour : Behaviour { }

    public class Transform : Component
    {
        public Vector3 position { get { throw new NotSupportedException(); } set { } }
        public Quaternion rotation { get { throw new NotSupportedException(); } set { } }
        public Transform Find(string n) { throw new NotSupportedException(); }
    }

    public struct Vector3
    {
        public float x, y, z;
        public Vector3(float x, float y, float z) { this.x = x; this.y = y; this.z = z; }
    }

    public struct Quaternion
    {
        public float x, y, z, w;
        public Quaternion(float x, float y, float z, float w) { this.x = x; this.y = y; this.z = z; this.w = w; }
    }

    public static class Mathf
    {
        public static int CeilToInt(float f) { throw new NotSupportedException(); }
    }

    public class Time
    {
        public static double unscaledTimeAsDouble { get { throw new NotSupportedException(); } }
    }

    public class Application
    {
        public static string persistentDataPath { get { throw new NotSupportedException(); } }
    }

    public class Debug
    {
        public static void Log(object message) { }
        public static void LogWarning(object message) { }
        public static void LogError(object message) { }
    }

    public class PlayerPrefs
    {
        public static void SetString(string key, string value) { }
        public static string GetString(string key, string defaultValue) { throw new NotSupportedException(); }
        public static bool HasKey(string key) { throw new NotSupportedException(); }
        public static void Save() { }
    }

    public abstract class PropertyAttribute : Attribute { }

    public class HeaderAttribute : PropertyAttribute
    {
        public HeaderAttribute(string header) { }
    }

    public class TooltipAttribute : PropertyAttribute
    {
        public TooltipAttribute(string tooltip) { }
    }

    public sealed class RangeAttribute : PropertyAttribute
    {
        public RangeAttribute(float min, float max) { }
    }

    public sealed class DisallowMultipleComponent : Attribute { }

    public sealed class AddComponentMenu : Attribute
    {
        public AddComponentMenu(string menuName) { }
    }

    public sealed class RequireComponent : Attribute
    {
        public RequireComponent(Type requiredComponent) { }
    }
}
